#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A text file of unknown encoding read as what it is: UTF-8 (with or without a byte order mark),
// Shift-JIS (code page 932) or EUC-JP. The encoding is guessed by uchardet and the guess is
// judged by a strict decode: a file that does not decode cleanly as the encoding guessed is no
// text of ours, never a string of replacement characters.
class TextDecoder
{
public:
    // The text, line breaks "\n" whatever the file used; no value when the bytes are none of
    // the three encodings, and then why in reason.
    static std::optional<QString> decode(const QByteArray& bytes, QString& reason);
    // The bytes decoded strictly from the named encoding (an iconv name); no value when any
    // byte sequence is invalid or cut off.
    static std::optional<QString> strict(const QByteArray& bytes, const char* encoding);
};
