#include "editor/CharacterMap.h"

void CharacterMap::resolve(TKeyDescrList& list)
{
    m_runs.clear();
    const qint32 lowest = list.lowestStart();
    const qint32 highest = list.highestEnd();
    if (lowest < 0 || highest < lowest) {
        list.assign(m_runs);
        return;
    }
    const size_t span = size_t(highest - lowest) + 1;
    if (m_cells.size() < span)
        m_cells.resize(span);
    std::fill_n(m_cells.begin(), span, Cell());
    for (const TKeyDescr& entry : list) {
        if (entry.BegPos == TKeyDescr::Unset || entry.EndPos == TKeyDescr::Unset ||
            entry.EndPos < entry.BegPos)
            continue;
        for (qint32 at = entry.BegPos; at <= entry.EndPos; ++at) {
            Cell& cell = m_cells[size_t(at - lowest)];
            if (entry.Level >= cell.level)
                cell = {entry.Color, entry.Level, entry.DrawnByEvent, true};
        }
    }
    for (size_t i = 0; i < span; ++i) {
        const Cell& cell = m_cells[i];
        if (!cell.covered)
            continue;
        const qint32 at = lowest + qint32(i);
        if (!m_runs.empty()) {
            TKeyDescr& last = m_runs.back();
            if (last.EndPos == at - 1 && last.Color == cell.color && last.Level == cell.level &&
                last.DrawnByEvent == cell.event) {
                last.EndPos = at;
                continue;
            }
        }
        m_runs.push_back({at, at, cell.color, cell.level, cell.event});
    }
    list.assign(m_runs);
}
