#pragma once

#include <QString>

// A whole diary in one zip archive: diary.ini and every file of the entries folder, byte for
// byte, under the names "diary.ini" and "data/<name>".
class DiaryArchive
{
public:
    // The largest file a restore writes: far above any diary.ini or entry, far below what
    // would fill a disk from a small archive.
    static constexpr qint64 MaxFileBytes = qint64(256) * 1024 * 1024;

    // Whether folder holds a diary: its diary.ini or its entries folder.
    static bool holdsDiary(const QString& programFolder);
    // Whether path is the diary's diary.ini or lies in its entries folder: no file a task
    // writes may go there.
    static bool isInsideDiary(const QString& programFolder, const QString& path);

    // Writes the archive of the diary in programFolder to zipPath, replacing it atomically, and
    // returns the number of files in it. Only reads the diary. Throws a DiaryError when there
    // is no diary there, when zipPath lies inside its entries folder or on its diary.ini, or
    // when a file cannot be read or the archive written.
    static int backup(const QString& programFolder, const QString& zipPath);

    // Writes the diary held in the archive into folder, which must be missing or empty, and
    // returns the number of files written. The whole archive is checked first: anything but a
    // diary file (a name with "..", an absolute name, another folder, an encrypted or oversized
    // entry) refuses it before anything is written. Throws a DiaryError saying why; a restore
    // that fails midway removes what it wrote.
    static int restore(const QString& zipPath, const QString& folder);
};
