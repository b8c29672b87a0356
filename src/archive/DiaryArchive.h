#pragma once

#include "core/storage/TaskProgress.h"

#include <QString>
#include <QStringList>

// A whole diary in one zip archive: diary.ini, an encrypted diary's diary.key and every day of
// the entries folder, byte for byte (sealed days stay sealed), under the names "diary.ini",
// "diary.key" and "data/<yyyymmdd>". Files are stored 0600 and the folder
// 0700, so an archive unpacked by hand is as private as the diary.
class DiaryArchive
{
public:
    // The largest file a backup takes and a restore writes: far above any diary.ini or entry,
    // far below what would fill a disk from a small archive.
    static constexpr qint64 MaxFileBytes = qint64(256) * 1024 * 1024;

    struct Backup
    {
        int files = 0;
        // What the entries folder holds that is no diary file a restore takes back (a link, a
        // folder, a name that is not UTF-8 or no day), each with the reason; left out of the
        // archive.
        QStringList leftOut;
    };
    // Writes the archive of the diary in programFolder to zipPath, replacing a file of the user
    // there atomically when replace allows, and failing otherwise (see StagedFile). Only
    // reads the diary; files are read as the archive is written, never whole. Throws a
    // DiaryError when there is no diary there, when zipPath is inside it or no regular file, when
    // a file is larger than a restore takes, when a file cannot be read or the archive written,
    // or when progress is cancelled; nothing is left beside zipPath then.
    static Backup backup(const QString& programFolder, const QString& zipPath,
                         const TaskProgress& progress = TaskProgress(), bool replace = true);

    struct Restore
    {
        int files = 0;
        // The entries of the entries folder that are no day, each with the reason; not written.
        QStringList leftOut;
    };
    // Writes the diary held in the archive into folder, which must be missing or empty. What a
    // killed restore into folder left beside it goes first (it may hold the room this one
    // needs). The whole archive is checked then: a name outside the diary's (a name with "..",
    // an absolute name, another folder), an encrypted or oversized entry, or more bytes than the
    // disk has free, refuses it before anything is written. The diary is written beside folder
    // and renamed into place at the end: a restore that fails or is cancelled leaves folder as
    // it was. Throws a DiaryError saying why.
    static Restore restore(const QString& zipPath, const QString& folder,
                           const TaskProgress& progress = TaskProgress());
};
