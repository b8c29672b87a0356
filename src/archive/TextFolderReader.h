#pragma once

#include "core/tasks/ImportedEntries.h"

#include <QDate>
#include <QString>

// A folder of text files named by their date ("2024-01-05", "20240105", "2024年1月5日", each
// with or without ".txt" or ".md"), and the same in its folders one level down. Each file is one
// entry, its encoding found by TextDecoder; a file that is not cleanly UTF-8, Shift-JIS or EUC-JP,
// or whose name is no date, is left out with the reason.
class TextFolderReader
{
public:
    // Throws a DiaryError when path is no folder that can be read.
    static ImportedEntries read(const QString& path);
    // The date a file's name gives; invalid when it gives none.
    static QDate dateOfName(const QString& fileName);
};
