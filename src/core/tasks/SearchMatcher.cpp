#include "core/tasks/SearchMatcher.h"

#include <array>
#include <memory>

namespace {

constexpr char16_t CombiningVoiced = 0x3099;
constexpr char16_t CombiningSemiVoiced = 0x309A;
constexpr char16_t KatakanaFirst = 0x30A1; // ァ
constexpr char16_t KatakanaLast = 0x30F6;  // ヶ
constexpr char16_t KatakanaToHiragana = 0x60;

// One folded character for each UTF-16 unit, computed once: the compatibility form when it is a
// single character (full-width Latin, half-width kana, the ideographic space), then case-folded,
// then katakana as hiragana. Characters whose compatibility form is longer (㈱) stay as they are.
using FoldTable = std::array<char16_t, 0x10000>;

std::unique_ptr<FoldTable> makeTable()
{
    auto table = std::make_unique<FoldTable>();
    for (char32_t u = 0; u < 0x10000; ++u) {
        const QChar c{char16_t(u)};
        char16_t folded = char16_t(u);
        if (!c.isSurrogate()) {
            if (c.decompositionTag() != QChar::NoDecomposition) {
                const QString compatible = QString(c).normalized(QString::NormalizationForm_KC);
                if (compatible.size() == 1)
                    folded = compatible.at(0).unicode();
            }
            folded = QChar(folded).toCaseFolded().unicode();
            if ((folded >= KatakanaFirst && folded <= KatakanaLast) || folded == 0x30FD ||
                folded == 0x30FE)
                folded -= KatakanaToHiragana;
        }
        (*table)[u] = folded;
    }
    return table;
}

const FoldTable& table()
{
    static const std::unique_ptr<FoldTable> built = makeTable();
    return *built;
}

// The voiced or semi-voiced form of a folded kana followed by a separate sound mark (how
// half-width kana write ガ), or 0 when the two do not combine.
char16_t compose(char16_t base, char16_t mark)
{
    const QChar pair[2] = {QChar(base), QChar(mark)};
    const QString joined = QString(pair, 2).normalized(QString::NormalizationForm_C);
    return joined.size() == 1 ? joined.at(0).unicode() : 0;
}

} // namespace

SearchMatcher::SearchMatcher(const QString& query)
{
    const QString folded = fold(query);
    QString word;
    for (const QChar c : folded) {
        if (!c.isSpace()) {
            word.append(c);
        } else if (!word.isEmpty()) {
            m_words.append(word);
            word.clear();
        }
    }
    if (!word.isEmpty())
        m_words.append(word);
}

QString SearchMatcher::fold(QStringView text, QList<qsizetype>* origin)
{
    const FoldTable& folding = table();
    QString folded(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(folded.data());
    qsizetype used = 0;
    if (origin) {
        origin->clear();
        origin->reserve(text.size());
    }
    const char16_t* in = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        // Ideographs, most of a Japanese text, fold to themselves: the table's lookups then
        // stay within the small part of it that kana and Latin letters use.
        const char16_t c = in[i] >= 0x4E00 && in[i] <= 0x9FFF ? in[i] : folding[in[i]];
        if ((c == CombiningVoiced || c == CombiningSemiVoiced) && used > 0) {
            if (const char16_t joined = compose(out[used - 1], c)) {
                out[used - 1] = joined;
                continue;
            }
        }
        out[used++] = c;
        if (origin)
            origin->append(i);
    }
    folded.truncate(used);
    return folded;
}

bool SearchMatcher::matches(QStringView foldedTitle, QStringView foldedBody) const
{
    if (m_words.isEmpty())
        return false;
    for (const QString& word : m_words) {
        if (!foldedTitle.contains(word) && !foldedBody.contains(word))
            return false;
    }
    return true;
}

SearchMatcher::Span SearchMatcher::firstMatch(QStringView text) const
{
    return firstMatch(text, fold(text));
}

SearchMatcher::Span SearchMatcher::firstMatch(QStringView text, QStringView folded) const
{
    qsizetype best = -1;
    qsizetype bestLength = 0;
    for (const QString& word : m_words) {
        const qsizetype at = folded.indexOf(word);
        if (at >= 0 && (best < 0 || at < best)) {
            best = at;
            bestLength = word.size();
        }
    }
    if (best < 0 || folded.size() == text.size())
        return {best, bestLength};
    // Folding joined some characters: positions are mapped back to the text's own.
    QList<qsizetype> origin;
    fold(text, &origin);
    const qsizetype end = best + bestLength;
    const qsizetype start = origin.at(best);
    return {start, (end < origin.size() ? origin.at(end) : text.size()) - start};
}
