#pragma once

#include "core/storage/CodePage932.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A file's text as it was read, with the bytes each character was read from. Writing a text back
// through it changes the bytes of what was edited and nothing else: code page 932 spells some
// characters twice, and a file's line breaks may be CR LF, CR or LF, so converting the whole text
// again would rewrite bytes the user never touched.
class Spelling
{
public:
    enum class Breaks
    {
        Kept,      // the text is one line of the file's own bytes
        Collapsed, // CR LF, a lone CR and a lone LF read as "\n"; a new "\n" is written as CR LF
    };

    Spelling() = default;
    Spelling(QByteArray bytes, Breaks breaks);

    const QString& text() const { return m_text; }

    // The bytes for text: every run of characters the edits left alone keeps the bytes it was
    // read from, however many edits there were; what was typed is converted, characters spelled
    // twice taking the spelling this file used first.
    QByteArray bytesFor(const QString& text) const;

private:
    QByteArray encodeEdited(const QString& text) const;
    QString read(const QByteArray& bytes) const;

    QByteArray m_bytes;
    Breaks m_breaks = Breaks::Kept;
    QString m_text;
    QList<qsizetype> m_starts; // per character of m_text, then the end
    CodePage932::Spellings m_spellings;
};
