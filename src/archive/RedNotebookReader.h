#pragma once

#include "core/tasks/ImportedEntries.h"

#include <QByteArray>
#include <QString>

// RedNotebook's data: its folder or a backup zip of month files "YYYY-MM.txt", each a YAML
// mapping from the day of the month to the day's content, its text under "text". The day's
// categories (any other key) come along as lines "#category item".
class RedNotebookReader
{
public:
    // Throws a DiaryError when there is no month file, or one that is no YAML mapping.
    static ImportedEntries read(const QString& path);
    // One month file; name ("2024-01.txt") gives the year and month.
    static void readMonth(const QByteArray& yaml, const QString& name, ImportedEntries& into);
    // Whether a file's name is a month file's.
    static bool isMonthFile(const QString& name);
};
