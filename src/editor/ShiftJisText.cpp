#include "editor/ShiftJisText.h"

#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"

#include <algorithm>

namespace {
bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isStandIn(QChar c)
{
    return c.unicode() >= 0xF780 && c.unicode() <= 0xF7FF;
}

// The text with every character code page 932 cannot hold replaced by "?", so that the
// converter takes all of it.
QString encodable(const QString& text)
{
    QString result = text;
    qsizetype from = 0;
    for (;;) {
        const qsizetype found = CodePage932::firstUnencodable(result.mid(from));
        if (found < 0)
            return result;
        from += found;
        result[from] = QLatin1Char('?');
        ++from;
    }
}
} // namespace

ShiftJisText::ShiftJisText() : m_offsets{0} {}

ShiftJisText::ShiftJisText(const QString& text)
{
    // The usual text converts at once; only one that cannot is converted twice.
    QString safe = text;
    QByteArray encoded;
    try {
        encoded = CodePage932::encode(safe);
    } catch (const DiaryError&) {
        safe = encodable(text);
        encoded = CodePage932::encode(safe);
    }
    m_bytes.reserve(encoded.size() + safe.count(QLatin1Char('\n')));
    m_offsets.reserve(safe.size() + 1);
    qsizetype at = 0;
    for (const QChar c : safe) {
        m_offsets.push_back(int(m_bytes.size()));
        if (c == QLatin1Char('\n')) {
            m_bytes.append("\r\n", 2);
            ++at;
            continue;
        }
        const qsizetype width =
            !isStandIn(c) && isLeadByte(static_cast<unsigned char>(encoded[at])) ? 2 : 1;
        m_bytes.append(encoded.constData() + at, width);
        at += width;
    }
    m_offsets.push_back(int(m_bytes.size()));
}

int ShiftJisText::byteOffset(int position) const
{
    return m_offsets[std::clamp(position, 0, length())];
}

int ShiftJisText::position(int offset) const
{
    if (offset >= byteCount())
        return length();
    const auto after = std::upper_bound(m_offsets.begin(), m_offsets.end(), std::max(offset, 0));
    return int(after - m_offsets.begin()) - 1;
}

bool ShiftJisText::startsCharacter(int offset) const
{
    return std::binary_search(m_offsets.begin(), m_offsets.end(), offset);
}

const QByteArray& ShiftJisText::upperBytes() const
{
    if (m_upper.isNull()) {
        m_upper = m_bytes;
        m_upper.detach();
        for (size_t position = 0; position + 1 < m_offsets.size(); ++position) {
            const int offset = m_offsets[position];
            const char c = m_bytes[offset];
            if (m_offsets[position + 1] - offset == 1 && c >= 'a' && c <= 'z')
                m_upper[offset] = char(c - 'a' + 'A');
        }
    }
    return m_upper;
}

int ShiftJisText::nextCharacter(int offset) const
{
    return byteOffset(position(offset) + 1);
}
