#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Text crosses the file boundary here and nowhere else: the diary's files are code page 932
// (Windows Shift-JIS), the program works in QString. Converted by glibc's iconv "CP932", which
// follows the Windows mapping (0x8160 is "～" U+FF5E, 0x5C is "\" U+005C).
//
// A character code page 932 cannot hold (an emoji, ♡, 𠮷, a combining mark) is written as an
// ASCII numeric reference, "&#x1F600;": "&#x", the code point in upper-case hexadecimal, at least
// four digits and no other leading zero, ";". Only that exact form naming such a character reads
// back as it; "&#x0026;" reads as "&", and a typed "&" that would start a reference is written so.
// Anything else that looks like one ("&#x3042;", "&#x1f600;", "&#xD800;", "&#x110000;") is text.
//
// Bytes that are not valid code page 932 (an undefined single byte, a lead byte without a valid
// trail byte, a lead byte cut off at the end) are never replaced: each such byte b decodes to the
// private-use character U+F700 + b, which encodes back to b. Only bytes 0x80-0xA0 and 0xE0-0xFF
// can be invalid, so these stand-ins lie in U+F780-U+F7FF, outside U+E000-U+E757 where the
// user-defined area F040-F9FC decodes. A stand-in whose byte would join a typed character after it
// into another character is written as its reference.
//
// Code page 932 spells 398 characters twice (NEC row 13 and the IBM extensions in two places).
// A file's own spelling of them is kept: spellingsOf() collects it and encode() writes it again.
//
// Nine characters have no code of their own and are written as their code page 932 equivalents:
// ¢ £ ¥ ¬ — ‖ ‾ − 〜 as ￠ ￡ ＼ ￢ ― ∥ ～ － ～, as every reader of the code page expects.
class CodePage932
{
public:
    // The byte pair a file used for each character code page 932 spells twice.
    using Spellings = QHash<char16_t, QByteArray>;

    static QString decode(const QByteArray& bytes);
    // Builds the lookup table that decodes many or long texts several times faster; decoding
    // uses it from then on. Safe from any thread.
    static void prepareBulkDecoding();
    // Also gives, for each unit of the text, the offset of the first byte of its character (the
    // units of a reference all start where it does), then the end.
    static QString decode(const QByteArray& bytes, QList<qsizetype>& starts);
    // Never fails: what the code page cannot hold becomes a reference.
    static QByteArray encode(const QString& text);
    // Also gives, for each unit of the text, the offset of the first byte written for its
    // character, then the end.
    static QByteArray encode(const QString& text, QList<qsizetype>& starts);
    // A character spelled twice takes the spelling given for it, when it has one.
    static QByteArray encode(const QString& text, const Spellings& spellings);
    // The code page alone, without references, for bytes that are no text to show (a password).
    static QString decodePlain(const QByteArray& bytes);
    // Throws a DiaryError with unencodableMessage() when the text holds a character code page 932
    // cannot hold (see firstUnencodable()).
    static QByteArray encodePlain(const QString& text);
    // The first spelling the bytes use of each character spelled twice.
    static Spellings spellingsOf(const QByteArray& bytes);
    // Index of the first character code page 932 cannot hold as itself, or -1. For a character
    // outside the BMP the index of its first code unit. A stand-in for an invalid lead byte counts
    // as unencodable when the character after it would join it into a different character.
    static qsizetype firstUnencodable(const QString& text);
    // "「é」(U+00E9) は Shift-JIS で保存できない文字です。…" for the character at index.
    static QString unencodableMessage(const QString& text, qsizetype index);
};
