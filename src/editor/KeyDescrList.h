#pragma once

#include "editor/KeyDescr.h"

#include <vector>

// The runs of one paint. Entries are kept between paints and reused; the list also knows the
// lowest start and highest end of what was added since it was cleared (-1 when nothing).
class TKeyDescrList
{
public:
    TKeyDescrList();

    // Marks every entry free.
    void clear();
    void add(const TKeyDescr& entry);
    // Replaces the entries by runs (the resolution's result).
    void assign(const std::vector<TKeyDescr>& runs);

    int count() const { return m_count; }
    const TKeyDescr& operator[](int i) const { return m_items[size_t(i)]; }
    qint32 lowestStart() const { return m_lowest; }
    qint32 highestEnd() const { return m_highest; }

    const TKeyDescr* begin() const { return m_items.data(); }
    const TKeyDescr* end() const { return m_items.data() + m_count; }

private:
    std::vector<TKeyDescr> m_items;
    int m_count = 0;
    qint32 m_lowest = -1;
    qint32 m_highest = -1;
};
