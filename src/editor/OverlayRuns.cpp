#include "editor/OverlayRuns.h"

const TKeyDescrList& OverlayRuns::build(const Scan& scan)
{
    const ShiftJisText& text = *scan.text;
    m_list.clear();
    if (scan.rules)
        scan.rules->PrepareRules();
    if (scan.hotSpot)
        scan.hotSpot->scan(text, 0, m_list);
    if (scan.wantTabs) {
        for (qsizetype at = text.bytes().indexOf('\t'); at >= 0;
             at = text.bytes().indexOf('\t', at + 1)) {
            if (text.startsCharacter(int(at)))
                m_list.add({int(at), int(at), scan.background, TKeyDescr::TabLevel, 0});
        }
    }
    if (scan.caretLineStart >= 0)
        m_list.add({scan.caretLineStart, scan.caret - 1, scan.fontColor, 0, 0});
    for (int i = 0; scan.rules && i < scan.rules->count(); ++i) {
        TColorRule& rule = (*scan.rules)[i];
        if (rule.Enabled)
            RuleScanner::scan(rule, text, 0, m_list, scan.events);
    }
    if (scan.selLength > 0)
        m_list.add(
            {scan.selStart, scan.selStart + scan.selLength - 1, 255, TKeyDescr::SelectionLevel, 0});
    m_map.resolve(m_list);
    return m_list;
}
