#include "core/storage/CodePage932.h"

#include "core/storage/DiaryError.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <numeric>
#include <optional>
#include <vector>

namespace {

const char* const Cp932 = "CP932";
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
const char* const Utf16 = "UTF-16LE";
#else
const char* const Utf16 = "UTF-16BE";
#endif

constexpr char16_t EscapeBase = 0xF700;

// The bytes that are characters on their own. Every other byte can only start a two-byte
// character and is the only kind that ever needs a stand-in.
bool isSingleByteCharacter(uchar b)
{
    return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}

bool isEscape(QChar c)
{
    const char16_t u = c.unicode();
    return u >= EscapeBase + 0x80 && u <= EscapeBase + 0xFF &&
           !isSingleByteCharacter(u - EscapeBase);
}

class Converter
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw DiaryError(
                QStringLiteral("文字コード %1 の変換を開始できません").arg(QLatin1String(Cp932)));
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of the input as it can, appending to out from used on and growing out as
    // needed. Returns 0 when all input is converted, else the errno that stopped it (EILSEQ or
    // EINVAL) with in pointing at the offending input.
    int run(const char*& in, size_t& inLeft, QByteArray& out, qsizetype& used)
    {
        while (inLeft > 0) {
            if (used == out.size())
                out.resize(out.size() * 2 + 16);
            char* src = const_cast<char*>(in);
            char* dst = out.data() + used;
            size_t dstLeft = size_t(out.size() - used);
            const size_t result = iconv(m_cd, &src, &inLeft, &dst, &dstLeft);
            const int error = errno;
            in = src;
            used = dst - out.data();
            if (result != size_t(-1))
                return 0;
            if (error == E2BIG)
                out.resize(out.size() * 2 + 16);
            else
                return error == EINVAL ? EINVAL : EILSEQ;
        }
        return 0;
    }

    void reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

void appendByte(QByteArray& out, qsizetype& used, char b)
{
    if (used == out.size())
        out.resize(out.size() * 2 + 16);
    out[used++] = b;
}

// Whether lead and trail, written one after the other, read back as one two-byte character.
bool joins(std::optional<Converter>& decoder, uchar lead, uchar trail)
{
    if (isSingleByteCharacter(lead) || trail < 0x40 || trail == 0x7F || trail > 0xFC)
        return false;
    if (!decoder)
        decoder.emplace(Utf16, Cp932);
    decoder->reset();
    const char pair[2] = {char(lead), char(trail)};
    const char* in = pair;
    size_t inLeft = 2;
    QByteArray out(4, Qt::Uninitialized);
    qsizetype used = 0;
    return decoder->run(in, inLeft, out, used) == 0 && used == 2;
}

// Every character of the code page by its bytes, read once from the converter, so that a
// whole entry is decoded by lookups. Only text in which every byte is part of a character is
// decoded this way; anything else takes the converter's own path with its stand-ins.
class DecodeTable
{
public:
    DecodeTable()
    {
        Converter decoder(Utf16, Cp932);
        const auto one = [&](const char* in, size_t length) -> char16_t {
            decoder.reset();
            size_t inLeft = length;
            QByteArray out(4, Qt::Uninitialized);
            qsizetype used = 0;
            if (decoder.run(in, inLeft, out, used) != 0 || used != 2)
                return NoCharacter;
            char16_t c;
            std::memcpy(&c, out.constData(), 2);
            return c;
        };
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            m_single[b] = isSingleByteCharacter(uchar(b)) ? one(&byte, 1) : NoCharacter;
        }
        for (int lead = LeadFirst; lead <= LeadLast; ++lead) {
            for (int trail = TrailFirst; trail <= TrailLast; ++trail) {
                const char pair[2] = {char(lead), char(trail)};
                m_pair[(lead - LeadFirst) * TrailCount + trail - TrailFirst] =
                    isSingleByteCharacter(uchar(lead)) ? NoCharacter : one(pair, 2);
            }
        }
        m_held.resize(0x10000);
        for (const char16_t c : m_single)
            m_held[c] = c != NoCharacter;
        for (const char16_t c : m_pair)
            m_held[c] = c != NoCharacter;
    }

    // Whether some bytes read as c.
    bool holds(char16_t c) const { return m_held[c]; }

    std::optional<QString> decode(const QByteArray& bytes) const
    {
        QString text(bytes.size(), Qt::Uninitialized);
        char16_t* out = reinterpret_cast<char16_t*>(text.data());
        const auto* in = reinterpret_cast<const uchar*>(bytes.constData());
        const qsizetype size = bytes.size();
        qsizetype used = 0;
        for (qsizetype i = 0; i < size; ++i) {
            const uchar b = in[i];
            char16_t c = m_single[b];
            if (c == NoCharacter) {
                if (b < LeadFirst || b > LeadLast || i + 1 == size || in[i + 1] < TrailFirst ||
                    in[i + 1] > TrailLast)
                    return std::nullopt;
                c = m_pair[(b - LeadFirst) * TrailCount + in[i + 1] - TrailFirst];
                if (c == NoCharacter)
                    return std::nullopt;
                ++i;
            }
            out[used++] = c;
        }
        text.truncate(used);
        return text;
    }

    // Calls take(character, lead, trail) for each byte pair that reads as one character, in code
    // order.
    template <typename Take> void forEachPair(Take take) const
    {
        for (int lead = LeadFirst; lead <= LeadLast; ++lead) {
            for (int trail = TrailFirst; trail <= TrailLast; ++trail) {
                const char16_t c = m_pair[(lead - LeadFirst) * TrailCount + trail - TrailFirst];
                if (c != NoCharacter)
                    take(c, uchar(lead), uchar(trail));
            }
        }
    }

private:
    // U+FFFF is no character: the converter never yields it.
    static constexpr char16_t NoCharacter = 0xFFFF;
    static constexpr int LeadFirst = 0x81;
    static constexpr int LeadLast = 0xFC;
    static constexpr int TrailFirst = 0x40;
    static constexpr int TrailLast = 0xFC;
    static constexpr int TrailCount = TrailLast - TrailFirst + 1;

    char16_t m_single[256];
    char16_t m_pair[(LeadLast - LeadFirst + 1) * TrailCount];
    std::vector<bool> m_held;
};

std::atomic<bool> tableReady{false};

const DecodeTable& decodeTable()
{
    static const DecodeTable table;
    tableReady.store(true, std::memory_order_release);
    return table;
}

// Below this size the converter is fast enough. The table costs about half a millisecond to
// build, which start-up pays only when it reads a day's text (its spellings need the table).
constexpr qsizetype TableWorthIt = 64 * 1024;

// The characters code page 932 holds twice (NEC row 13, NEC-selected IBM extensions, IBM
// extensions), each with every byte pair that reads as it, in code order.
const QHash<char16_t, QList<QByteArray>>& duplicates()
{
    static const QHash<char16_t, QList<QByteArray>> table = [] {
        // Which characters more than one pair reads as, then those characters' pairs.
        const DecodeTable& codes = decodeTable();
        std::vector<bool> seen(0x10000), twice(0x10000);
        codes.forEachPair([&](char16_t c, uchar, uchar) {
            if (seen[c])
                twice[c] = true;
            seen[c] = true;
        });
        QHash<char16_t, QList<QByteArray>> all;
        codes.forEachPair([&](char16_t c, uchar lead, uchar trail) {
            const char pair[2] = {char(lead), char(trail)};
            if (twice[c])
                all[c].append(QByteArray(pair, 2));
        });
        return all;
    }();
    return table;
}

// The characters without a code of their own and the character each is written as.
constexpr std::pair<char16_t, char16_t> Equivalents[] = {
    {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'}, {u'\u00A5', u'\uFF3C'},
    {u'\u00AC', u'\uFFE2'}, {u'\u2014', u'\u2015'}, {u'\u2016', u'\u2225'},
    {u'\u203E', u'\uFF5E'}, {u'\u2212', u'\uFF0D'}, {u'\u301C', u'\uFF5E'}};

QString withEquivalents(const QString& text)
{
    QString result = text;
    for (const auto& [from, to] : Equivalents)
        result.replace(QChar(from), QChar(to));
    return result;
}

char16_t equivalentOf(char16_t c)
{
    for (const auto& [from, to] : Equivalents) {
        if (c == from)
            return to;
    }
    return c;
}

// Whether the code page writes c as itself or as its equivalent. A stand-in is no character of
// the code page.
bool holds(char32_t c)
{
    return c < 0x80 || (c <= 0xFFFF && (decodeTable().holds(char16_t(c)) ||
                                        equivalentOf(char16_t(c)) != char16_t(c)));
}

constexpr qsizetype ShortestReference = 8; // "&#x" four digits ";"

// The code point and length of the reference that starts at text[at], when one does. Only the
// form the files are written with counts: "&#x", the upper-case hexadecimal digits of the code
// point (at least four, no other leading zero), ";", naming a code point the code page cannot hold
// or the "&" itself. Anything else is text as it stands.
std::optional<std::pair<char32_t, qsizetype>> referenceAt(QStringView text, qsizetype at)
{
    if (text.size() - at < ShortestReference || text[at] != u'&' || text[at + 1] != u'#' ||
        text[at + 2] != u'x')
        return std::nullopt;
    char32_t code = 0;
    qsizetype end = at + 3;
    for (; end < text.size() && end - at - 3 <= 6; ++end) {
        const char16_t c = text[end].unicode();
        if (c >= u'0' && c <= u'9')
            code = code * 16 + (c - u'0');
        else if (c >= u'A' && c <= u'F')
            code = code * 16 + (c - u'A' + 10);
        else
            break;
    }
    const qsizetype digits = end - at - 3;
    if (digits < 4 || digits > 6 || end == text.size() || text[end] != u';' ||
        (digits > 4 && text[at + 3] == u'0'))
        return std::nullopt;
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || (code != u'&' && holds(code)))
        return std::nullopt;
    return std::pair{code, end + 1 - at};
}

QString referenceTo(char32_t code)
{
    return QStringLiteral("&#x%1;").arg(
        QStringLiteral("%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper());
}

// The text as the file spells it, in characters the code page holds: each character it cannot
// hold as its reference, and an "&" that would read as one as "&#x0026;". A stand-in listed in
// spelledOut is written as its reference too. at gives, for each unit of text, the index of what
// was written for it, then the end.
QString withReferences(const QString& text, const QList<qsizetype>& spelledOut,
                       QList<qsizetype>* at)
{
    // Most texts are written as they are.
    const bool asItIs =
        spelledOut.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
            return c != u'&' && (isEscape(c) ||
                                 (holds(c.unicode()) && equivalentOf(c.unicode()) == c.unicode()));
        });
    if (asItIs) {
        if (at) {
            at->resize(text.size() + 1);
            std::iota(at->begin(), at->end(), 0);
        }
        return text;
    }
    QString out;
    out.reserve(text.size());
    if (at) {
        at->clear();
        at->reserve(text.size() + 1);
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (at)
            at->append(out.size());
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            if (at)
                at->append(out.size());
            out += referenceTo(QChar::surrogateToUcs4(c, text.at(i + 1)));
            ++i;
        } else if (c.isSurrogate()) {
            // Half a character: no code point to name, so the replacement character stands for it.
            out += referenceTo(QChar::ReplacementCharacter);
        } else if (isEscape(c)) {
            if (std::binary_search(spelledOut.begin(), spelledOut.end(), i))
                out += referenceTo(c.unicode());
            else
                out += c;
        } else if (c == u'&') {
            out += referenceAt(text, i) ? referenceTo(u'&') : QString(c);
        } else if (holds(c.unicode())) {
            out += QChar(equivalentOf(c.unicode()));
        } else {
            out += referenceTo(c.unicode());
        }
    }
    if (at)
        at->append(out.size());
    return out;
}

// The text with every reference in it read as its character; starts, when given, go along: the
// units of one reference all start where it does.
QString withoutReferences(const QString& text, QList<qsizetype>* starts)
{
    if (!text.contains(u'&'))
        return text;
    QString out;
    out.reserve(text.size());
    QList<qsizetype> outStarts;
    for (qsizetype i = 0; i < text.size();) {
        const auto reference = text.at(i) == u'&' ? referenceAt(text, i) : std::nullopt;
        const qsizetype length = reference ? reference->second : 1;
        const qsizetype before = out.size();
        if (reference)
            out += QString::fromUcs4(&reference->first, 1);
        else
            out += text.at(i);
        if (starts) {
            for (qsizetype unit = before; unit < out.size(); ++unit)
                outStarts.append(starts->at(i));
        }
        i += length;
    }
    if (starts) {
        outStarts.append(starts->last());
        *starts = std::move(outStarts);
    }
    return out;
}

// How many bytes the character at the start of bytes takes: a stand-in and a single-byte
// character one, any other character two.
int characterBytes(QChar c, uchar first)
{
    return isEscape(c) || isSingleByteCharacter(first) ? 1 : 2;
}

// Whether the stand-in byte at offset, written for text[index], joins the byte after it into one
// character, so that the bytes would read back as other text. A character held twice that follows
// it is first written as the copy that stays apart, as it stood in the file the text was read
// from.
bool joinsNext(std::optional<Converter>& decoder, const QString& text, qsizetype index,
               QByteArray& bytes, qsizetype offset, qsizetype used)
{
    if (offset + 1 >= used)
        return false;
    const uchar lead = uchar(bytes[offset]);
    if (!joins(decoder, lead, uchar(bytes[offset + 1])))
        return false;
    if (offset + 2 < used) {
        const auto& twice = duplicates();
        const auto copies = twice.constFind(text.at(index + 1).unicode());
        if (copies != twice.constEnd()) {
            for (const QByteArray& pair : *copies) {
                if (!joins(decoder, lead, uchar(pair[0]))) {
                    bytes[offset + 1] = pair[0];
                    bytes[offset + 2] = pair[1];
                    return false;
                }
            }
        }
    }
    return true;
}

// Encodes text into out (when given) and returns the index of the first character that cannot
// be written, or -1.
qsizetype convert(const QString& original, QByteArray* out)
{
    const QString text = withEquivalents(original);
    Converter encoder(Cp932, Utf16);
    std::optional<Converter> decoder;
    QByteArray bytes(text.size() + text.size() / 2 + 16, Qt::Uninitialized);
    qsizetype used = 0;
    // The last stand-in written, whose byte may join with the byte that follows it.
    qsizetype pendingIndex = -1;
    qsizetype pendingOffset = 0;
    const auto joinsPending = [&] {
        return pendingIndex >= 0 &&
               joinsNext(decoder, text, pendingIndex, bytes, pendingOffset, used);
    };

    const char* const base = reinterpret_cast<const char*>(text.constData());
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype runEnd = i;
        while (runEnd < text.size() && !isEscape(text.at(runEnd)))
            ++runEnd;
        if (runEnd > i) {
            const char* in = base + i * 2;
            size_t inLeft = size_t(runEnd - i) * 2;
            if (encoder.run(in, inLeft, bytes, used) != 0)
                return joinsPending() ? pendingIndex : (in - base) / 2;
            if (joinsPending())
                return pendingIndex;
            pendingIndex = -1;
            i = runEnd;
        }
        if (i < text.size()) {
            appendByte(bytes, used, char(text.at(i).unicode() - EscapeBase));
            if (joinsPending())
                return pendingIndex;
            pendingIndex = i;
            pendingOffset = used - 1;
            ++i;
        }
    }
    if (out) {
        bytes.truncate(used);
        *out = std::move(bytes);
    }
    return -1;
}

// The code page's own reading of the bytes, stand-ins for bytes that are no character.
QString decodeCodePage(const QByteArray& bytes)
{
    if (tableReady.load(std::memory_order_acquire) || bytes.size() >= TableWorthIt) {
        if (std::optional<QString> text = decodeTable().decode(bytes))
            return *std::move(text);
    }
    Converter decoder(Utf16, Cp932);
    // Every byte yields at most one UTF-16 unit.
    QByteArray units(bytes.size() * 2, Qt::Uninitialized);
    qsizetype used = 0;
    const char* in = bytes.constData();
    size_t inLeft = size_t(bytes.size());
    while (decoder.run(in, inLeft, units, used) != 0 && inLeft > 0) {
        // The byte starts no character here: keep it as its stand-in, in the host's byte order.
        const char16_t escape = EscapeBase + uchar(*in);
        char escapeBytes[2];
        std::memcpy(escapeBytes, &escape, 2);
        appendByte(units, used, escapeBytes[0]);
        appendByte(units, used, escapeBytes[1]);
        ++in;
        --inLeft;
        decoder.reset();
    }
    return QString(reinterpret_cast<const QChar*>(units.constData()), used / 2);
}

// For each character of text, converted from bytes, the offset of its first byte; then the end.
QList<qsizetype> startsOf(const QString& text, const QByteArray& bytes)
{
    QList<qsizetype> starts;
    starts.reserve(text.size() + 1);
    qsizetype offset = 0;
    for (const QChar c : text) {
        starts.append(offset);
        offset += characterBytes(c, uchar(bytes.at(offset)));
    }
    starts.append(offset);
    return starts;
}

// Code page 932 bytes for text, with at telling where each unit of it was written (see
// withReferences()). A stand-in that would join the byte after it into another character is
// written as its reference instead.
QByteArray encodeText(const QString& text, QString& written, QList<qsizetype>* at)
{
    QList<qsizetype> spelledOut;
    QList<qsizetype> where;
    for (;;) {
        written = withReferences(text, spelledOut, &where);
        QByteArray bytes;
        const qsizetype bad = convert(written, &bytes);
        if (bad < 0) {
            if (at)
                *at = std::move(where);
            return bytes;
        }
        const qsizetype unit = std::lower_bound(where.begin(), where.end(), bad) - where.begin();
        spelledOut.insert(std::lower_bound(spelledOut.begin(), spelledOut.end(), unit), unit);
    }
}

} // namespace

void CodePage932::prepareBulkDecoding()
{
    decodeTable();
}

QString CodePage932::decode(const QByteArray& bytes)
{
    return withoutReferences(decodeCodePage(bytes), nullptr);
}

QString CodePage932::decode(const QByteArray& bytes, QList<qsizetype>& starts)
{
    const QString text = decodeCodePage(bytes);
    starts = startsOf(text, bytes);
    return withoutReferences(text, &starts);
}

QByteArray CodePage932::encode(const QString& text)
{
    QString written;
    return encodeText(text, written, nullptr);
}

QByteArray CodePage932::encode(const QString& text, QList<qsizetype>& starts)
{
    QString written;
    QList<qsizetype> at;
    const QByteArray bytes = encodeText(text, written, &at);
    const QList<qsizetype> writtenStarts = startsOf(written, bytes);
    starts.clear();
    starts.reserve(at.size());
    for (const qsizetype index : at)
        starts.append(writtenStarts.at(index));
    return bytes;
}

QByteArray CodePage932::encode(const QString& text, const Spellings& spellings)
{
    QString written;
    QByteArray bytes = encodeText(text, written, nullptr);
    if (spellings.isEmpty())
        return bytes;
    const auto& twice = duplicates();
    qsizetype offset = 0;
    bool afterStandIn = false;
    for (const QChar c : written) {
        const int size = characterBytes(c, uchar(bytes.at(offset)));
        // After a stand-in for a lead byte the converter has already chosen the spelling that
        // keeps the two apart.
        if (size == 2 && !afterStandIn && twice.contains(c.unicode())) {
            const auto spelling = spellings.constFind(c.unicode());
            if (spelling != spellings.constEnd()) {
                bytes[offset] = spelling->at(0);
                bytes[offset + 1] = spelling->at(1);
            }
        }
        afterStandIn = isEscape(c);
        offset += size;
    }
    return bytes;
}

QString CodePage932::decodePlain(const QByteArray& bytes)
{
    return decodeCodePage(bytes);
}

QByteArray CodePage932::encodePlain(const QString& text)
{
    QByteArray bytes;
    const qsizetype bad = convert(text, &bytes);
    if (bad >= 0)
        throw DiaryError(unencodableMessage(text, bad));
    return bytes;
}

CodePage932::Spellings CodePage932::spellingsOf(const QByteArray& bytes)
{
    Spellings spellings;
    const QString text = decodeCodePage(bytes);
    const QList<qsizetype> starts = startsOf(text, bytes);
    const auto& twice = duplicates();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (starts.at(i + 1) - starts.at(i) == 2 && twice.contains(c) && !spellings.contains(c))
            spellings.insert(c, bytes.mid(starts.at(i), 2));
    }
    return spellings;
}

qsizetype CodePage932::firstUnencodable(const QString& text)
{
    return convert(text, nullptr);
}

QString CodePage932::unencodableMessage(const QString& text, qsizetype index)
{
    const QChar c = text.at(index);
    char32_t code = c.unicode();
    QString shown(c);
    if (c.isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate()) {
        code = QChar::surrogateToUcs4(c, text.at(index + 1));
        shown = text.mid(index, 2);
    } else if (c.isSurrogate()) {
        shown = QChar(QChar::ReplacementCharacter);
    }
    return QStringLiteral("「%1」(U+%2) は Shift-JIS で保存できない文字です。"
                          "この文字を消してから保存してください。")
        .arg(shown, QStringLiteral("%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper());
}
