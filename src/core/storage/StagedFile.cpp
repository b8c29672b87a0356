#include "core/storage/StagedFile.h"

#include "core/storage/DiaryError.h"
#include "core/storage/FaultStep.h"
#include "core/storage/TaskProgress.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The mark start-up's clean-up knows: an interrupted export beside a diary file goes with it.
const QByteArray StagingMark = ".tobiquill-save.XXXXXX";
constexpr int MaxLinks = 40;
// How long a wait for a FIFO's reader, or for room in it, goes before looking for a stop.
constexpr int WaitMs = 50;

DiaryError failure(const QString& path, int error)
{
    if (error == ENOSPC || error == EDQUOT)
        return DiaryError(
            QStringLiteral("ﾌｧｲﾙ %1 を作成できません\nﾃﾞｨｽｸに空きがありません。").arg(path));
    return DiaryError(QStringLiteral("ﾌｧｲﾙ %1 を作成できません: %2")
                          .arg(path, QString::fromLocal8Bit(::strerror(error))));
}

DiaryError foreign(const QString& path)
{
    return DiaryError(QStringLiteral("「%1」は別のユーザーのものです。ほかの人に読まれるおそれが"
                                     "あるため、書き込みません。")
                          .arg(path));
}

// Links and streams of root are the system's (/dev/stdout, /dev/null): root can read everything
// anyway.
bool trusted(uid_t owner)
{
    return owner == ::geteuid() || owner == 0;
}

// The end of path's links. The first link another user owns is not followed: its owner chose
// where it points, and could point it at any file of the user. It is given in untrusted then.
QString linkEnd(const QString& path, QString* untrusted)
{
    QString current = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (int i = 0; i < MaxLinks; ++i) {
        struct stat info
        {
        };
        if (::lstat(QFile::encodeName(current).constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            break;
        if (untrusted && !trusted(info.st_uid)) {
            *untrusted = current;
            break;
        }
        current = QDir::cleanPath(QFileInfo(current).symLinkTarget());
    }
    return current;
}

// path in its folder's real name.
QString inRealFolder(const QString& path)
{
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? path : QDir(folder).filePath(info.fileName());
}

// Replaces nothing: fails with EEXIST when a file is at to. A file system that cannot say so in
// the rename (EINVAL) is asked just before.
int renameNoReplace(const char* from, const char* to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL)
        return -1;
    struct stat info
    {
    };
    if (::lstat(to, &info) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from, to);
}

// A write to a stream whose reader has left fails with EPIPE instead of ending the program: the
// signal it raises is held for this thread while it writes, and taken away unseen.
ssize_t writeHoldingSigpipe(int fd, const char* data, size_t size)
{
    sigset_t pipe;
    sigset_t old;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &old);
    const ssize_t written = ::write(fd, data, size);
    const int error = errno;
    if (written < 0 && error == EPIPE && !sigismember(&old, SIGPIPE)) {
        const timespec none{0, 0};
        while (sigtimedwait(&pipe, nullptr, &none) == SIGPIPE) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    errno = error;
    return written;
}

} // namespace

bool StagedFile::holdsFile(const QString& path)
{
    struct stat info
    {
    };
    return path != QLatin1String("-") && ::stat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

QString StagedFile::realPath(const QString& path)
{
    return inRealFolder(linkEnd(path, nullptr));
}

StagedFile::StagedFile(const QString& target, Permissions permissions, const TaskProgress* progress)
    : m_target(target), m_progress(progress), m_replace(permissions.testFlag(ReplaceFile))
{
    const QString notAFile =
        QStringLiteral("「%1」は通常のファイルではありません。ファイルの名前を指定してください。")
            .arg(target);
    if (target == QLatin1String("-")) {
        if (!permissions.testFlag(WriteStream))
            throw DiaryError(notAFile);
        m_fd = STDOUT_FILENO;
        m_ownsFd = false;
        return;
    }
    // The kernel follows the links itself: /dev/stdout names whatever the output is.
    const QByteArray given = QFile::encodeName(target);
    struct stat info
    {
    };
    const bool exists = ::stat(given.constData(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode))
        throw DiaryError(
            QStringLiteral("「%1」はフォルダです。ファイルの名前を指定してください。").arg(target));
    if (exists && !S_ISREG(info.st_mode)) {
        if (!permissions.testFlag(WriteStream))
            throw DiaryError(notAFile);
        if (!trusted(info.st_uid))
            throw foreign(target);
        openStream(given);
        return;
    }
    QString untrusted;
    m_target = inRealFolder(linkEnd(target, &untrusted));
    if (!untrusted.isEmpty())
        throw DiaryError(QStringLiteral("「%1」は別のユーザーが置いたシンボリックリンクです。"
                                        "その指す先には書き込みません。")
                             .arg(untrusted));
    struct stat old
    {
    };
    if (::lstat(QFile::encodeName(m_target).constData(), &old) == 0) {
        if (old.st_uid != ::geteuid())
            throw foreign(target);
        if (S_ISREG(old.st_mode))
            m_mode = old.st_mode & 07777;
    }
    m_staging = QFile::encodeName(m_target) + StagingMark;
    const int error = faultStep(SafeFile::Step::Create, target,
                                [&] { return m_fd = ::mkostemp(m_staging.data(), O_CLOEXEC); });
    if (error != 0) {
        m_staging.clear();
        throw failure(target, error);
    }
}

void StagedFile::openStream(const QByteArray& path)
{
    const QString target = QFile::decodeName(path);
    for (;;) {
        if (m_progress)
            m_progress->check();
        const int error = faultStep(SafeFile::Step::Create, target, [&] {
            return m_fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        });
        if (error == 0)
            break;
        // A FIFO nobody reads yet: its reader is waited for, as a blocking open would.
        if (error == ENXIO)
            ::poll(nullptr, 0, WaitMs);
        else if (error != EINTR)
            throw failure(target, error);
    }
    // What was opened is checked, not what was there a moment before.
    struct stat opened
    {
    };
    if (::fstat(m_fd, &opened) != 0 || S_ISREG(opened.st_mode) || !trusted(opened.st_uid)) {
        ::close(m_fd);
        m_fd = -1;
        throw foreign(target);
    }
}

StagedFile::~StagedFile()
{
    if (m_fd >= 0 && m_ownsFd)
        ::close(m_fd);
    if (!m_staging.isEmpty() && !m_committed)
        ::unlink(m_staging.constData());
}

QString StagedFile::stagingPath() const
{
    return QFile::decodeName(m_staging);
}

void StagedFile::write(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        ssize_t written = -1;
        const int error = faultStep(SafeFile::Step::Write, m_target, [&] {
            return written = m_ownsFd ? writeHoldingSigpipe(m_fd, data, size_t(left))
                                      : ::write(m_fd, data, size_t(left));
        });
        if (error == EINTR || error == EAGAIN) {
            if (m_progress)
                m_progress->check();
            // A stream full until its reader takes more.
            if (error == EAGAIN) {
                pollfd room{m_fd, POLLOUT, 0};
                ::poll(&room, 1, WaitMs);
            }
            continue;
        }
        if (error != 0)
            throw failure(m_target, error);
        data += written;
        left -= written;
    }
}

void StagedFile::commit()
{
    if (isDirect())
        return;
    // The new file is opened again by its name: a writer that works by name (libzip) may have
    // put another file there.
    ::close(m_fd);
    m_fd = ::open(m_staging.constData(), O_RDONLY | O_CLOEXEC);
    int error = m_fd < 0 ? errno : 0;
    if (error == 0)
        error = faultStep(SafeFile::Step::Sync, m_target, [&] { return ::fdatasync(m_fd); });
    const QByteArray target = QFile::encodeName(m_target);
    if (error == 0)
        error = faultStep(SafeFile::Step::Commit, m_target, [&] {
            return m_replace ? ::rename(m_staging.constData(), target.constData())
                             : renameNoReplace(m_staging.constData(), target.constData());
        });
    if (error != 0)
        throw failure(m_target, error);
    m_committed = true;
    // Only now: while it was written, the new file was its owner's only.
    if (m_mode != 0)
        ::fchmod(m_fd, m_mode);
    const int folder = ::open(QFile::encodeName(QFileInfo(m_target).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    error = faultStep(SafeFile::Step::SyncFolder, m_target,
                      [&] { return folder < 0 ? 0 : ::fsync(folder); });
    if (folder >= 0)
        ::close(folder);
    if (error != 0 && error != EINVAL)
        throw failure(m_target, error);
}
