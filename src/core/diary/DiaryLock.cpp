#include "core/diary/DiaryLock.h"

#include "core/storage/DiaryError.h"
#include "core/storage/RuntimeFolder.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

DiaryLock::DiaryLock(const QString& folder) : m_path(fileName(folder))
{
    if (m_path.isEmpty())
        throw DiaryError::cannotLock(folder);
    const QByteArray path = QFile::encodeName(m_path);
    // The holder removes the file as it lets go; a copy that locked the file just before that
    // holds a name no other copy finds any more, so it tries again on the file now there.
    for (;;) {
        m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd < 0)
            throw DiaryError::cannotLock(folder);
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(m_fd);
            m_fd = -1;
            if (error == EWOULDBLOCK)
                throw DiaryError::diaryInUse(folder);
            throw DiaryError::cannotLock(folder);
        }
        struct stat held
        {
        };
        struct stat named
        {
        };
        if (::fstat(m_fd, &held) == 0 && ::stat(path.constData(), &named) == 0 &&
            held.st_ino == named.st_ino && held.st_dev == named.st_dev)
            return;
        ::close(m_fd);
    }
}

DiaryLock::~DiaryLock()
{
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
}

QString DiaryLock::fileName(const QString& folder)
{
    return RuntimeFolder::fileFor(folder, QStringLiteral(".lock"));
}
