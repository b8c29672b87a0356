#include "editor/DrawRules.h"

TColorRule& TDrawRules::add()
{
    m_items.push_back(std::make_unique<TColorRule>());
    return *m_items.back();
}

void TDrawRules::clear()
{
    m_items.clear();
}

void TDrawRules::assign(const TDrawRules& other)
{
    if (&other == this)
        return;
    clear();
    for (const auto& rule : other.m_items)
        add().assign(*rule);
}

void TDrawRules::PrepareRules()
{
    if (!m_needPrepare)
        return;
    bool content = false;
    for (const auto& rule : m_items)
        content = rule->Prepare() || content;
    m_needPrepare = !content;
}
