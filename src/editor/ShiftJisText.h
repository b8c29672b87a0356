#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// A text as the code page 932 bytes it is kept in, CR LF between lines, with the one map between
// character positions (QString positions, "\n" one position) and byte offsets. Rules, runs and
// selections are reckoned in these bytes; the widget works in positions.
//
// A byte that has no character (read from a file as a stand-in) stays one byte. A character
// that code page 932 cannot hold is its reference, "&#x1F600;", as the file holds it: one
// character whose bytes no rule can match in part. Its second UTF-16 unit, when it has one, is
// at the offset of the character after it.
class ShiftJisText
{
public:
    ShiftJisText();
    explicit ShiftJisText(const QString& text);

    const QByteArray& bytes() const { return m_bytes; }
    int byteCount() const { return int(m_bytes.size()); }
    int length() const { return int(m_offsets.size()) - 1; }

    // Offset of the first byte of the character at position; length() gives byteCount().
    int byteOffset(int position) const;
    // Position of the character that holds the byte at offset; the LF of a CR LF belongs to
    // the "\n". Offsets past the end give length().
    int position(int offset) const;
    // Whether offset is the first byte of a character (the end counts as one).
    bool startsCharacter(int offset) const;
    // The bytes with the single-byte letters a to z upper-cased; a trail byte that looks like
    // a letter is left alone, so offsets and characters stay as they were. Made once.
    const QByteArray& upperBytes() const;
    // Offset of the character after the one holding the byte at offset.
    int nextCharacter(int offset) const;

private:
    QByteArray m_bytes;
    std::vector<int> m_offsets; // one per position, and the end
    mutable QByteArray m_upper;
};
