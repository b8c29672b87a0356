#include "core/DiaryLock.h"

#include "core/DiaryError.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

DiaryLock::DiaryLock(const QString& folder) : m_lock(std::make_unique<QLockFile>(fileName(folder)))
{
    // Only a dead owner makes a lock stale, however old it is: a diary may stay open for weeks.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        QFile::setPermissions(fileName(folder), QFile::ReadOwner | QFile::WriteOwner);
        return;
    }
    if (m_lock->error() == QLockFile::LockFailedError)
        throw DiaryError::diaryInUse(folder);
    // A folder that takes no new file (read-only, immutable, full) takes no save either, so no
    // copy can overwrite another's there: the diary opens to be read, unlocked, and each save
    // reports why it failed.
    m_lock.reset();
}

DiaryLock::~DiaryLock() = default;

QString DiaryLock::fileName(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("diary.lock"));
}
