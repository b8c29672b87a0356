#include "editor/ColorRule.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {
const std::array<std::pair<const char*, TColor>, 16> ColorNames{{
    {"BLACK", 0},
    {"MAROON", 128},
    {"GREEN", 32768},
    {"OLIVE", 32896},
    {"NAVY", 8388608},
    {"PURPLE", 8388736},
    {"TEAL", 8421376},
    {"GRAY", 8421504},
    {"SILVER", 12632256},
    {"RED", 255},
    {"LIME", 65280},
    {"YELLOW", 65535},
    {"BLUE", 16711680},
    {"FUCHSIA", 16711935},
    {"AQUA", 16776960},
    {"WHITE", 16777215},
}};

constexpr TColor White = 16777215;

// A key in code page 932 bytes, cut to at most MaxKeyBytes without splitting a character.
QByteArray keyBytes(const QString& key)
{
    const ShiftJisText text(key);
    int position = 0;
    while (position < text.length() && text.byteOffset(position + 1) <= TColorRule::MaxKeyBytes)
        ++position;
    return text.bytes().left(text.byteOffset(position));
}

QByteArray keywordBytes(const QString& keyword, bool keyCase)
{
    const ShiftJisText text(keyword);
    return keyCase ? text.bytes() : text.upperBytes();
}
} // namespace

TColorRule::TColorRule() : KeyBrushColor(systemWindowColor()) {}

TColor TColorRule::ParseColorSpec(const QString& text)
{
    QString spec = text.trimmed().toUpper().left(10);
    for (const auto& [name, value] : ColorNames) {
        if (spec == QLatin1String(name))
            return value;
    }
    const qsizetype hash = spec.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        spec.remove(hash, 1);
    if (!spec.contains(QLatin1Char('$')))
        spec.prepend(QLatin1Char('$'));
    // Only a leading "$" introduces hexadecimal digits; anywhere else it is no number.
    const QString digits = spec.mid(1);
    const bool hex = std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
               (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
    });
    if (!spec.startsWith(QLatin1Char('$')) || digits.isEmpty() || !hex)
        return White;
    const qulonglong number = digits.toULongLong(nullptr, 16);
    if (number > 0xFFFFFFFFull)
        return White;
    const auto rgb = TColor(number);
    return (rgb & 0xFF00FF00u) | ((rgb & 0xFFu) << 16) | ((rgb >> 16) & 0xFFu);
}

TColor TColorRule::colorOf(const QString& part) const
{
    return part.trimmed().isEmpty() ? DefKeyColor : ParseColorSpec(part);
}

void TColorRule::setKeywords(const QStringList& list)
{
    m_keywords = list;
    buildKeyIndex();
}

void TColorRule::setKeyBegEndLst(const QStringList& list)
{
    m_keyBegEndLst = list;
    buildBegEndTable();
}

void TColorRule::setKeyLineEndLst(const QStringList& list)
{
    m_keyLineEndLst = list;
    buildLineEndTable();
}

void TColorRule::buildBegEndTable()
{
    m_keyTable.assign(KeyTableSize, TKeyEntry());
    for (int i = 0; i < KeyTableSize && i < m_keyBegEndLst.size(); ++i) {
        const QString& line = m_keyBegEndLst[i];
        const qsizetype p = line.indexOf(QLatin1Char(';'));
        if (p < 1)
            continue; // no ";" or a leading one: the entry stays empty
        const QString rest = line.mid(p + 1);
        const qsizetype q = rest.indexOf(QLatin1Char(';'));
        TKeyEntry& entry = m_keyTable[size_t(i)];
        entry.BegKey = keyBytes(line.left(p));
        entry.EndKey = keyBytes(q < 0 ? rest : rest.left(q));
        entry.KeyColor = colorOf(q < 0 ? QString() : rest.mid(q + 1));
    }
}

void TColorRule::buildLineEndTable()
{
    m_keyTable.assign(KeyTableSize, TKeyEntry());
    for (int i = 0; i < KeyTableSize && i < m_keyLineEndLst.size(); ++i) {
        const QString& line = m_keyLineEndLst[i];
        const qsizetype p = line.indexOf(QLatin1Char(';'));
        QString key = line;
        QString part;
        if (p >= 1) {
            key = line.left(p);
            part = line.mid(p + 1);
        } else if (line.startsWith(QLatin1String(";;"))) {
            key = QStringLiteral(";");
            part = line.mid(2);
        }
        TKeyEntry& entry = m_keyTable[size_t(i)];
        entry.BegKey = keyBytes(key);
        entry.KeyColor = colorOf(part);
    }
}

void TColorRule::buildKeyIndex()
{
    m_keyIndex = "*";
    m_keyColors.clear();
    int previous = 0;
    for (const QString& line : std::as_const(m_keywords)) {
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype p = line.indexOf(QLatin1Char(';'));
        const QString keyword = (p < 0 ? line : line.left(p)).trimmed();
        const TColor color = colorOf(p < 0 ? QString() : line.mid(p + 1));
        int number = int(m_keyColors.indexOf(color)) + 1;
        if (number == 0 && m_keyColors.size() < MaxKeyColors) {
            m_keyColors.append(color);
            number = int(m_keyColors.size());
        } else if (number == 0) {
            number = previous;
        }
        previous = number;
        m_keyIndex += keywordBytes(keyword, KeyCase) + "*+" + char(number) + '*';
    }
}

bool TColorRule::Prepare()
{
    buildBegEndTable();
    bool content = !m_keyBegEndLst.isEmpty();
    if (KeyDrawingType == dtKeyShow) {
        buildKeyIndex();
        content = content || !m_keywords.isEmpty();
    }
    if (KeyDrawingType == dtBeginLineEnd) {
        buildLineEndTable();
        content = content || !m_keyLineEndLst.isEmpty();
    }
    return content;
}

void TColorRule::assign(const TColorRule& source)
{
    KeyDrawingType = source.KeyDrawingType;
    ZOrder = source.ZOrder;
    KeyMaxHeight = source.KeyMaxHeight;
    KeyCase = source.KeyCase;
    Enabled = source.Enabled;
    PartWord = source.PartWord;
    DefKeyColor = source.DefKeyColor;
    KeyBrushColor = source.KeyBrushColor;
    setKeywords(source.m_keywords);
    setKeyLineEndLst(source.m_keyLineEndLst);
    setKeyBegEndLst(source.m_keyBegEndLst);
}
