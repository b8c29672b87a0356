#pragma once

#include "core/tasks/ImportedEntries.h"

#include <QString>

#include <optional>

// Where an import reads its entries: the export of another diary, in one of the formats it
// knows. Reads only; the diary is not touched.
class ImportSource
{
public:
    enum class Format
    {
        DayOne,
        Jrnl,
        RedNotebook,
        Text
    };

    // "dayone", "jrnl", "rednotebook" or "text"; no value for another name.
    static std::optional<Format> formatNamed(const QString& name);
    // The format the file or folder at path is in, told by its form: a folder or zip of month
    // files is RedNotebook's, another folder dated text files, a zip Day One's, a JSON file Day
    // One's or jrnl's by its entries. No value when it is none of them.
    static std::optional<Format> detect(const QString& path);
    // Every entry the export holds. Throws a DiaryError saying why when it is not that format,
    // or cannot be read whole (a truncated file, a broken archive).
    static ImportedEntries read(Format format, const QString& path);
};
