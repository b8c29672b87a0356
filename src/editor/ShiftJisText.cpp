#include "editor/ShiftJisText.h"

#include "core/storage/CodePage932.h"

#include <algorithm>

ShiftJisText::ShiftJisText() : m_offsets{0} {}

ShiftJisText::ShiftJisText(const QString& text)
{
    QList<qsizetype> starts;
    const QByteArray encoded = CodePage932::encode(text, starts);
    m_bytes.reserve(encoded.size() + text.count(QLatin1Char('\n')));
    m_offsets.reserve(size_t(text.size()) + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        m_offsets.push_back(int(m_bytes.size()));
        if (text.at(i) == QLatin1Char('\n')) {
            m_bytes.append("\r\n", 2);
            continue;
        }
        const bool pair = starts.at(i) == starts.at(i + 1) && i + 1 < text.size();
        const qsizetype end = starts.at(pair ? i + 2 : i + 1);
        m_bytes.append(encoded.constData() + starts.at(i), end - starts.at(i));
        if (pair) {
            // The second half of a character starts where the next character does, so that no
            // offset falls between the halves.
            m_offsets.push_back(int(m_bytes.size()));
            ++i;
        }
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
            // The second half of an emoji at the end starts at the end: it has no byte.
            if (m_offsets[position + 1] - offset != 1)
                continue;
            const char c = m_bytes[offset];
            if (c >= 'a' && c <= 'z')
                m_upper[offset] = char(c - 'a' + 'A');
        }
    }
    return m_upper;
}

int ShiftJisText::nextCharacter(int offset) const
{
    return byteOffset(position(offset) + 1);
}
