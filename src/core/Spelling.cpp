#include "core/Spelling.h"

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
    const qsizetype oldSize = m_text.size();
    const qsizetype newSize = text.size();
    qsizetype prefix = 0;
    while (prefix < oldSize && prefix < newSize && m_text.at(prefix) == text.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < oldSize - prefix && suffix < newSize - prefix &&
           m_text.at(oldSize - 1 - suffix) == text.at(newSize - 1 - suffix))
        ++suffix;

    QByteArray bytes = m_bytes.first(m_starts.at(prefix));
    bytes += encodeEdited(text.sliced(prefix, newSize - prefix - suffix));
    bytes += m_bytes.sliced(m_starts.at(oldSize - suffix));
    // Bytes kept on either side of the edit may join the new ones into other characters (a lone
    // lead byte, a CR before an LF); the whole text is converted then.
    if (read(bytes) == text)
        return bytes;
    return encodeEdited(text);
}
