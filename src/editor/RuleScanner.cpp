#include "editor/RuleScanner.h"

#include <algorithm>
#include <limits>

namespace {
constexpr int NotFound = std::numeric_limits<int>::max();

// The first occurrence of key at or after from that begins and ends on character boundaries.
int find(const QByteArray& haystack, const QByteArray& key, int from, const ShiftJisText& text)
{
    if (key.isEmpty())
        return NotFound;
    for (qsizetype at = haystack.indexOf(key, from); at >= 0; at = haystack.indexOf(key, at + 1)) {
        if (text.startsCharacter(int(at)) && text.startsCharacter(int(at + key.size())))
            return int(at);
    }
    return NotFound;
}

// Letters for whole-word matching: the at sign, A to Z, a to z; only single-byte characters.
bool isLetter(const ShiftJisText& text, int offset)
{
    if (offset < 0 || offset >= text.byteCount() || text.nextCharacter(offset) != offset + 1)
        return false;
    const char c = text.bytes()[offset];
    return (c >= '@' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isWholeWord(const ShiftJisText& text, int from, int at, int length)
{
    const bool letterBefore = at > from && isLetter(text, text.byteOffset(text.position(at - 1)));
    return !letterBefore && !isLetter(text, at + length);
}
} // namespace

void RuleScanner::scan(TColorRule& rule, const ShiftJisText& text, int from, TKeyDescrList& list,
                       const Events& events)
{
    switch (rule.KeyDrawingType) {
    case dtKeyShow:
        keyShow(rule, text, from, list);
        break;
    case dtEventDraw:
        eventDraw(rule, text, from, list, events);
        break;
    case dtBeginEnd:
        keyToKey(rule, text, from, list, false);
        break;
    case dtBeginLineEnd:
        keyToKey(rule, text, from, list, true);
        break;
    }
}

void RuleScanner::keyShow(TColorRule& rule, const ShiftJisText& text, int from, TKeyDescrList& list)
{
    const QByteArray& index = rule.KeyIndex();
    if (index.trimmed().size() <= 2)
        return;
    if (!rule.KeyCase)
        rule.UpperText() = text.upperBytes();
    const QByteArray& haystack = rule.KeyCase ? text.bytes() : rule.UpperText();
    const QList<TColor>& colors = rule.KeyColors();
    // Each keyword stands between a "*" and the "*+" after it; the character after the "+"
    // is its colour number.
    for (qsizetype p = 1, plus = index.indexOf("*+", p); plus >= 0 && plus + 2 < index.size();
         p = plus + 4, plus = index.indexOf("*+", p)) {
        const QByteArray keyword = index.mid(p, plus - p);
        const int number = static_cast<unsigned char>(index[plus + 2]);
        const TColor color =
            number >= 1 && number <= colors.size() ? colors[number - 1] : rule.DefKeyColor;
        const int length = int(keyword.size());
        for (int at = find(haystack, keyword, from, text); at != NotFound;
             at = find(haystack, keyword, at + length, text)) {
            if (rule.PartWord || isWholeWord(text, from, at, length))
                list.add({at, at + length - 1, color, rule.ZOrder, 1});
        }
    }
}

void RuleScanner::eventDraw(TColorRule& rule, const ShiftJisText& text, int from,
                            TKeyDescrList& list, const Events& events)
{
    if (!events.buffer || events.buffer->empty())
        return;
    std::vector<TKeyDescr>& a = *events.buffer;
    std::fill(a.begin(), a.end(), TKeyDescr{0, 0, 0, 0, 0});
    int itemsCount = 0;
    if (events.OnDraw)
        events.OnDraw(&rule, text.bytes().constData() + from, a, itemsCount);
    // The owner's positions are kept inside the scanned text, so a wrong one cannot make the
    // painter cover more than it shows.
    const qint64 last = text.byteCount() - 1;
    for (int i = 0; i < std::min(itemsCount, int(a.size())); ++i) {
        const qint64 begin = std::max<qint64>(qint64(a[size_t(i)].BegPos) + from, from);
        const qint64 end = std::min<qint64>(qint64(a[size_t(i)].EndPos) + from, last);
        if (begin > end)
            continue;
        const quint8 level = a[size_t(i)].Level != 0 ? a[size_t(i)].Level : rule.ZOrder;
        list.add({qint32(begin), qint32(end), a[size_t(i)].Color, level, 0});
    }
}

void RuleScanner::keyToKey(TColorRule& rule, const ShiftJisText& text, int from,
                           TKeyDescrList& list, bool toLineEnd)
{
    std::vector<TKeyEntry>& table = rule.KeyTable();
    const auto used = std::find_if(table.begin(), table.end(),
                                   [](const TKeyEntry& e) { return e.BegKey.isEmpty(); });
    for (auto entry = table.begin(); entry != used; ++entry)
        entry->FoundAt = -1;
    const QByteArray& bytes = text.bytes();
    const int scanEnd = text.byteCount();
    for (int position = from; position <= scanEnd;) {
        // The earliest begin key; on equal positions the one listed first.
        auto best = used;
        for (auto entry = table.begin(); entry != used; ++entry) {
            if (entry->FoundAt < position)
                entry->FoundAt = find(bytes, entry->BegKey, position, text);
            if (entry->FoundAt != NotFound && (best == used || entry->FoundAt < best->FoundAt))
                best = entry;
        }
        if (best == used)
            return;
        const int begin = best->FoundAt;
        if (toLineEnd) {
            const qsizetype cr = bytes.indexOf("\r\n", begin);
            list.add({begin, cr < 0 ? scanEnd - 1 : int(cr) - 1, best->KeyColor, rule.ZOrder, 0});
            if (cr < 0)
                return;
            position = int(cr) + 1;
            continue;
        }
        const int end = find(bytes, best->EndKey, text.nextCharacter(begin), text);
        if (end == NotFound)
            return;
        list.add({begin, end + int(best->EndKey.size()) - 1, best->KeyColor, rule.ZOrder, 0});
        position = text.nextCharacter(end);
    }
}
