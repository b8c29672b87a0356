#include "core/storage/Spelling.h"

#include <algorithm>
#include <vector>

namespace {

struct CommonRun
{
    qsizetype from;   // where the run stands in the old text
    qsizetype to;     // and in the new one
    qsizetype length; // in characters
};

// The runs the old text and the new one have in common, in order: the longest common subsequence
// found by Myers' difference algorithm, split at the middle of the edit path so that it needs
// memory for two rows only. Two edits far apart keep everything between them, however many edits
// there were. A budget of steps bounds a hard case (a long text of a repeated character pasted
// over): a part left when it runs out counts as replaced, and is converted anew.
class CommonRuns
{
public:
    CommonRuns(QStringView a, QStringView b) : m_a(a), m_b(b) { align(0, a.size(), 0, b.size()); }
    std::vector<CommonRun> runs;

private:
    void keep(qsizetype from, qsizetype to, qsizetype length)
    {
        if (length == 0)
            return;
        if (!runs.empty() && runs.back().from + runs.back().length == from &&
            runs.back().to + runs.back().length == to)
            runs.back().length += length;
        else
            runs.push_back({from, to, length});
    }

    // A part of the two texts still to align: [a0, a1) of the old one, [b0, b1) of the new.
    struct Part
    {
        qsizetype a0, a1, b0, b1;
        qsizetype n() const { return a1 - a0; }
        qsizetype m() const { return b1 - b0; }
        qsizetype delta() const { return n() - m(); }
    };

    // Per diagonal k (at offset + k), how far the paths from the start (forward) or from the end
    // (backward) have reached; and the diagonals at either side that ran off the texts.
    struct Walk
    {
        explicit Walk(qsizetype rounds) : offset(rounds), reach(size_t(2 * rounds + 2), -1)
        {
            reach[size_t(offset + 1)] = 0;
        }
        qsizetype offset;
        std::vector<qsizetype> reach;
        qsizetype start = 0;
        qsizetype end = 0;
    };

    void align(qsizetype a0, qsizetype a1, qsizetype b0, qsizetype b1)
    {
        qsizetype prefix = 0;
        while (a0 + prefix < a1 && b0 + prefix < b1 && m_a[a0 + prefix] == m_b[b0 + prefix])
            ++prefix;
        keep(a0, b0, prefix);
        a0 += prefix;
        b0 += prefix;
        qsizetype suffix = 0;
        while (a0 < a1 - suffix && b0 < b1 - suffix && m_a[a1 - 1 - suffix] == m_b[b1 - 1 - suffix])
            ++suffix;
        if (a0 < a1 - suffix && b0 < b1 - suffix)
            split({a0, a1 - suffix, b0, b1 - suffix});
        keep(a1 - suffix, b1 - suffix, suffix);
    }

    // Finds a point on an edit path of fewest steps halfway through it, walking from both ends,
    // and aligns the parts before and after it.
    void split(const Part& p)
    {
        // Each round d costs at least d steps, so the budget bounds the rounds too.
        const qsizetype rounds = std::min<qsizetype>((p.n() + p.m() + 1) / 2, MaxRounds);
        Walk walks[2] = {Walk(rounds), Walk(rounds)};
        const bool odd = p.delta() % 2 != 0;
        for (qsizetype d = 0; d < rounds; ++d) {
            for (const bool forward : {true, false}) {
                Walk& walk = walks[forward ? 0 : 1];
                for (qsizetype k = -d + walk.start; k <= d - walk.end; k += 2) {
                    if (--m_budget < 0)
                        return;
                    const qsizetype x = advance(p, walk, forward, d, k);
                    if (x > p.n())
                        walk.end += 2;
                    else if (x - k > p.m())
                        walk.start += 2;
                    else if (odd == forward && meet(p, walks[forward ? 1 : 0], forward, k, x))
                        return;
                }
            }
        }
    }

    // Takes the path on diagonal k one round further, from the better of its neighbours, then
    // along the characters both texts share there; returns how far it reached.
    qsizetype advance(const Part& p, Walk& walk, bool forward, qsizetype d, qsizetype k)
    {
        std::vector<qsizetype>& reach = walk.reach;
        const size_t at = size_t(walk.offset + k);
        qsizetype x = (k == -d || (k != d && reach[at - 1] < reach[at + 1])) ? reach[at + 1]
                                                                             : reach[at - 1] + 1;
        for (qsizetype y = x - k; x < p.n() && y < p.m() && same(p, forward, x, y); ++x, ++y)
            --m_budget;
        reach[at] = x;
        return x;
    }

    bool same(const Part& p, bool forward, qsizetype x, qsizetype y) const
    {
        return forward ? m_a[p.a0 + x] == m_b[p.b0 + y] : m_a[p.a1 - 1 - x] == m_b[p.b1 - 1 - y];
    }

    // The path on diagonal k reached x; where the path from the other end that faces it has
    // reached past it, the two meet: aligns the parts before and after that point.
    bool meet(const Part& p, const Walk& other, bool forward, qsizetype k, qsizetype x)
    {
        const qsizetype facing = other.offset + p.delta() - k;
        const qsizetype met = facing >= 0 && facing < qsizetype(other.reach.size())
                                  ? other.reach[size_t(facing)]
                                  : -1;
        if (met < 0 || x + met < p.n())
            return false;
        const qsizetype splitX = forward ? x : met;
        const qsizetype splitY = splitX - (forward ? k : p.delta() - k);
        align(p.a0, p.a0 + splitX, p.b0, p.b0 + splitY);
        align(p.a0 + splitX, p.a1, p.b0 + splitY, p.b1);
        return true;
    }

    static constexpr qint64 Budget = 20'000'000;
    static constexpr qsizetype MaxRounds = 6400; // about the square root of twice the budget

    QStringView m_a;
    QStringView m_b;
    qint64 m_budget = Budget;
};

std::vector<CommonRun> commonRuns(QStringView a, QStringView b)
{
    return CommonRuns(a, b).runs;
}

} // namespace

Spelling::Spelling(QByteArray bytes, Breaks breaks)
    : m_bytes(std::move(bytes)), m_breaks(breaks), m_spellings(CodePage932::spellingsOf(m_bytes))
{
    QList<qsizetype> starts;
    const QString decoded = CodePage932::decode(m_bytes, starts);
    if (m_breaks == Breaks::Kept) {
        m_text = decoded;
        m_starts = std::move(starts);
        return;
    }
    m_text.reserve(decoded.size());
    m_starts.reserve(starts.size());
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const QChar c = decoded.at(i);
        m_starts.append(starts.at(i));
        if (c == u'\r') {
            m_text.append(u'\n');
            if (i + 1 < decoded.size() && decoded.at(i + 1) == u'\n')
                ++i;
        } else {
            m_text.append(c);
        }
    }
    m_starts.append(starts.last());
}

QString Spelling::read(const QByteArray& bytes) const
{
    return Spelling(bytes, m_breaks).text();
}

QByteArray Spelling::encodeEdited(const QString& text) const
{
    if (m_breaks == Breaks::Kept)
        return CodePage932::encode(text, m_spellings);
    QString withBreaks = text;
    withBreaks.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return CodePage932::encode(withBreaks, m_spellings);
}

QByteArray Spelling::bytesFor(const QString& text) const
{
    if (text == m_text)
        return m_bytes;
    QByteArray bytes;
    qsizetype at = 0;
    for (CommonRun run : commonRuns(m_text, text)) {
        // A character outside the BMP is two units and one reference in the file: half of it
        // kept is no bytes of its own, so it goes with the edited part.
        if (run.length > 0 && m_text.at(run.from).isLowSurrogate()) {
            ++run.from;
            ++run.to;
            --run.length;
        }
        if (run.length > 0 && m_text.at(run.from + run.length - 1).isHighSurrogate())
            --run.length;
        if (run.length == 0)
            continue;
        if (run.to > at)
            bytes += encodeEdited(text.sliced(at, run.to - at));
        const qsizetype from = m_starts.at(run.from);
        bytes += m_bytes.sliced(from, m_starts.at(run.from + run.length) - from);
        at = run.to + run.length;
    }
    if (at < text.size())
        bytes += encodeEdited(text.sliced(at));
    // Bytes kept beside new ones may join them into other characters (a lone lead byte, a CR
    // before an LF); the whole text is converted then.
    if (read(bytes) == text)
        return bytes;
    return encodeEdited(text);
}
