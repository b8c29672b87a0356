#pragma once

#include <QString>

// Keeps a second copy of the program on this computer off a diary that is open: each copy
// rewrites diary.ini and the shown day from what it holds, so two would overwrite each other.
//
// The lock lives in the user's runtime folder (see RuntimeFolder), named after the diary folder's
// real path, never beside the diary: a diary kept in step between computers by a sync
// tool must not carry one computer's lock to another, where it could only be stale or block. The
// file is held with flock(), which the system lets go when the holder ends however it ends, so
// what the file contains is never read and no lock is ever stale; a file left by a copy that
// was killed is simply locked again. A diary folder that takes no new file is locked all the
// same.
class DiaryLock
{
public:
    // Takes the lock; throws DiaryError::diaryInUse when a running copy on this computer holds
    // it, and DiaryError::cannotLock when no lock can be made at all.
    explicit DiaryLock(const QString& folder);
    ~DiaryLock();
    DiaryLock(const DiaryLock&) = delete;
    DiaryLock& operator=(const DiaryLock&) = delete;

    // The lock file for the folder: the same for every path that reaches the same folder.
    static QString fileName(const QString& folder);

private:
    QString m_path;
    int m_fd = -1;
};
