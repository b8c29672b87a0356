#pragma once

#include "core/tasks/ImportedEntries.h"

#include <QByteArray>
#include <QString>

// A Day One JSON export: its zip (one or several journals, *.json, beside photos/ and the like)
// or one of its journal files. An entry's day is its creation date in its own time zone (the
// computer's when it names none); a first line "# …" is its title; the backslashes Day One puts
// before Markdown punctuation go. Photos and other files are counted, not read.
class DayOneReader
{
public:
    // Throws a DiaryError when the file is no Day One export or cannot be read whole.
    static ImportedEntries read(const QString& path);
    // One journal's JSON; name is used in messages.
    static void readJournal(const QByteArray& json, const QString& name, ImportedEntries& into);
    // The text without Day One's escapes: "\." is ".", "\\" is "\".
    static QString unescaped(const QString& text);
};
