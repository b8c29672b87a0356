#pragma once

#include <QString>
#include <memory>

class QLockFile;

// Keeps a second copy of the program off a diary that is open: each copy rewrites diary.ini from
// its own lines, so two would overwrite each other's titles and settings. The lock is the file
// "diary.lock" in the diary's folder; a lock whose owner died (a crash, a kill) is stale and taken
// over at the next start.
class DiaryLock
{
public:
    // Takes the lock; throws DiaryError::diaryInUse when a running copy holds it. Where the lock
    // file cannot be made, the diary goes unlocked (see the source).
    explicit DiaryLock(const QString& folder);
    ~DiaryLock();

    static QString fileName(const QString& folder);

private:
    std::unique_ptr<QLockFile> m_lock;
};
