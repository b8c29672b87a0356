#include "editor/KeyDescrList.h"

TKeyDescrList::TKeyDescrList()
{
    m_items.reserve(100);
}

void TKeyDescrList::clear()
{
    for (int i = 0; i < m_count; ++i)
        m_items[size_t(i)] = TKeyDescr();
    m_count = 0;
    m_lowest = -1;
    m_highest = -1;
}

void TKeyDescrList::add(const TKeyDescr& entry)
{
    if (size_t(m_count) == m_items.size())
        m_items.push_back(entry);
    else
        m_items[size_t(m_count)] = entry;
    ++m_count;
    if (m_lowest < 0 || entry.BegPos < m_lowest)
        m_lowest = entry.BegPos;
    if (entry.EndPos != TKeyDescr::Unset && entry.EndPos > m_highest)
        m_highest = entry.EndPos;
}

void TKeyDescrList::assign(const std::vector<TKeyDescr>& runs)
{
    clear();
    for (const TKeyDescr& run : runs)
        add(run);
}
