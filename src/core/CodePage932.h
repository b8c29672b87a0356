#pragma once

#include <QByteArray>
#include <QString>

// Text crosses the file boundary here and nowhere else: the diary's files are code page 932
// (Windows Shift-JIS), the program works in QString. Converted by glibc's iconv "CP932", which
// follows the Windows mapping (0x8160 is "～" U+FF5E, 0x5C is "\" U+005C).
//
// Bytes that are not valid code page 932 (an undefined single byte, a lead byte without a valid
// trail byte, a lead byte cut off at the end) are never replaced: each such byte b decodes to the
// private-use character U+F700 + b, which encodes back to b. Only bytes 0x80-0xA0 and 0xE0-0xFF
// can be invalid, so these stand-ins lie in U+F780-U+F7FF, outside U+E000-U+E757 where the
// user-defined area F040-F9FC decodes.
class CodePage932
{
public:
    static QString decode(const QByteArray& bytes);
    // Builds the lookup table that decodes many or long texts several times faster; decoding
    // uses it from then on. Safe from any thread.
    static void prepareBulkDecoding();
    // Throws a DiaryError with unencodableMessage() when the text holds a character code page 932
    // cannot hold (see firstUnencodable()); nothing is ever replaced by "?".
    static QByteArray encode(const QString& text);
    // Index of the first character code page 932 cannot hold, or -1. For a character outside the
    // BMP the index of its first code unit. A stand-in for an invalid lead byte counts as
    // unencodable when the character after it would join it into a different character.
    static qsizetype firstUnencodable(const QString& text);
    // "「é」(U+00E9) は Shift-JIS で保存できない文字です。…" for the character at index.
    static QString unencodableMessage(const QString& text, qsizetype index);
};
