#pragma once

#include "editor/ColorRule.h"

#include <memory>
#include <vector>

// The editor's colour rules, in drawing order.
class TDrawRules
{
public:
    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    TColorRule& operator[](int i) { return *m_items[size_t(i)]; }
    const TColorRule& operator[](int i) const { return *m_items[size_t(i)]; }

    TColorRule& add();
    void clear();
    // Replaces the rules by copies of other's.
    void assign(const TDrawRules& other);

    // Prepares every rule until one of them has content; from then on only the rules' own
    // list setters change their tables.
    void PrepareRules();
    bool NeedPrepare() const { return m_needPrepare; }

private:
    std::vector<std::unique_ptr<TColorRule>> m_items;
    bool m_needPrepare = true;
};
