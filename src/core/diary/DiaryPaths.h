#pragma once

#include <QString>

// Where a diary's own files are, for the tasks that write beside it (export, backup, restore).
class DiaryPaths
{
public:
    // Whether folder holds a diary: its diary.ini or its entries folder.
    static bool holdsDiary(const QString& programFolder);
    // Whether path, links followed, is the diary's diary.ini, key file or lock file or lies in its
    // entries folder: no file a task writes may go there.
    static bool isInsideDiary(const QString& programFolder, const QString& path);
};
