#include "core/storage/StagedFolder.h"

#include "core/storage/Descriptor.h"
#include "core/storage/DiaryError.h"
#include "core/storage/FaultStep.h"
#include "core/storage/StagedFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Mark = QStringLiteral(".tobiquill-restore.");

Descriptor openFolder(const QString& path)
{
    return Descriptor(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

DiaryError failure(const QString& path, int error)
{
    if (error == ENOSPC || error == EDQUOT)
        return DiaryError::diskFull(path);
    return DiaryError(QStringLiteral("ﾌｧｲﾙ %1 を作成できません: %2")
                          .arg(path, QString::fromLocal8Bit(::strerror(error))));
}

} // namespace

StagedFolder::StagedFolder(const QString& target) : m_target(QDir::cleanPath(target))
{
    const QFileInfo info(m_target);
    if (!SafeFile::makeFolder(info.absolutePath()))
        throw DiaryError::cannotCreate(info.absolutePath());
    QByteArray name =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + Mark) +
        "XXXXXX";
    const int error = faultStep(SafeFile::Step::Create, m_target,
                                [&] { return ::mkdtemp(name.data()) ? 0 : -1; });
    if (error != 0)
        throw failure(m_target, error);
    m_staging = QFile::decodeName(name);
    m_hold = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_hold >= 0)
        ::flock(m_hold, LOCK_EX);
}

StagedFolder::~StagedFolder()
{
    if (!m_committed)
        QDir(m_staging).removeRecursively();
    if (m_hold >= 0)
        ::close(m_hold);
}

void StagedFolder::removeLeftoversOf(const QString& target)
{
    const QFileInfo info(StagedFile::realPath(target));
    const QRegularExpression own(
        QStringLiteral("^\\.%1%2[A-Za-z0-9]{6}$")
            .arg(QRegularExpression::escape(info.fileName()), QRegularExpression::escape(Mark)));
    DIR* dir = ::opendir(QFile::encodeName(info.absolutePath()).constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (!own.match(name).hasMatch())
            continue;
        const QString path = QDir(info.absolutePath()).filePath(name);
        const Descriptor folder(::open(QFile::encodeName(path).constData(),
                                       O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat owner
        {
        };
        if (folder.get() >= 0 && ::fstat(folder.get(), &owner) == 0 &&
            owner.st_uid == ::geteuid() && ::flock(folder.get(), LOCK_EX | LOCK_NB) == 0)
            QDir(path).removeRecursively();
    }
    ::closedir(dir);
}

void StagedFolder::makeFolder(const QString& name)
{
    const QString path = QDir(m_staging).filePath(name);
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0)
        throw failure(path, errno);
    ::chmod(QFile::encodeName(path).constData(), 0700);
}

void StagedFolder::writeFile(const QString& name, const Reader& read)
{
    const QString path = QDir(m_staging).filePath(name);
    int fd = -1;
    int error = faultStep(SafeFile::Step::Create, path, [&] {
        return fd = ::open(QFile::encodeName(path).constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    });
    if (error != 0)
        throw failure(path, error);
    Descriptor file(fd);
    ::fchmod(file.get(), 0600);
    char buffer[65536];
    for (qint64 got; (got = read(buffer, sizeof buffer)) > 0;) {
        for (qint64 at = 0; at < got;) {
            ssize_t written = -1;
            error = faultStep(SafeFile::Step::Write, path, [&] {
                return written = ::write(file.get(), buffer + at, size_t(got - at));
            });
            if (error == EINTR)
                continue;
            if (error != 0)
                throw failure(path, error);
            at += written;
        }
    }
    if (file.close() != 0)
        throw failure(path, errno);
}

void StagedFolder::commit()
{
    // One sync of the file system brings every file written to the disk at once: far quicker
    // than a sync per file, and it reports a write that failed on the way.
    const Descriptor staging = openFolder(m_staging);
    int error = faultStep(SafeFile::Step::Sync, m_target,
                          [&] { return staging.get() < 0 ? -1 : ::syncfs(staging.get()); });
    if (error != 0)
        throw failure(m_target, error);
    const QStringList folders = QDir(m_staging).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& folder : folders) {
        const Descriptor sub = openFolder(QDir(m_staging).filePath(folder));
        if (sub.get() < 0 || ::fsync(sub.get()) != 0)
            throw failure(m_target, errno);
    }
    if (::fsync(staging.get()) != 0)
        throw failure(m_target, errno);
    // A rename takes the place of a missing or an empty folder in one step.
    error = faultStep(SafeFile::Step::Commit, m_target, [&] {
        return ::rename(QFile::encodeName(m_staging).constData(),
                        QFile::encodeName(m_target).constData());
    });
    if (error != 0)
        throw failure(m_target, error);
    m_committed = true;
    const Descriptor parent = openFolder(QFileInfo(m_target).absolutePath());
    if (parent.get() >= 0 && ::fsync(parent.get()) != 0 && errno != EINVAL)
        throw failure(m_target, errno);
}
