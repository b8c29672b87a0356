#include "core/storage/SafeFile.h"

#include "core/storage/Descriptor.h"
#include "core/storage/DiaryError.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The mark of this program's unfinished saves: "<name>.tobiquill-save.XXXXXX", the six
// characters mkstemp's.
const QString LeftoverMark = QStringLiteral(".tobiquill-save.");
constexpr qsizetype UniqueLength = 6;

int fault(SafeFile::Step step, const QString& path)
{
    const SafeFile::FaultHook& hook = SafeFile::faultHook();
    return hook ? hook(step, path) : 0;
}

// Runs one system call of a write, the seam's fault first. Returns 0 or the errno.
template <typename Call> int attempt(SafeFile::Step step, const QString& path, Call call)
{
    if (const int injected = fault(step, path))
        return injected;
    return call() < 0 ? errno : 0;
}

DiaryError writeError(const QString& path, int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return DiaryError::folderNotWritable(path);
    case ENOSPC:
    case EDQUOT:
        return DiaryError::diskFull(path);
    default:
        return DiaryError::cannotCreate(path);
    }
}

// A link is followed, so the file it names is replaced and the link stays.
QString writeTarget(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        if (!target.isEmpty())
            return target;
    }
    return path;
}

int writeAll(int fd, const QByteArray& bytes, const QString& path)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        if (const int injected = fault(SafeFile::Step::Write, path))
            return injected;
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        left -= written;
    }
    return 0;
}

} // namespace

SafeFile::FaultHook& SafeFile::faultHook()
{
    static FaultHook hook;
    return hook;
}

void SafeFile::write(const QString& path, const QByteArray& bytes)
{
    const QString target = writeTarget(path);
    const QFileInfo targetInfo(target);
    const QString folder = targetInfo.absolutePath();
    QByteArray temp =
        QFile::encodeName(folder + QLatin1Char('/') + targetInfo.fileName() + LeftoverMark) +
        "XXXXXX";

    int fd = -1;
    int error = attempt(Step::Create, path, [&] { return fd = ::mkstemp(temp.data()); });
    if (error != 0)
        throw writeError(path, error);
    Descriptor file(fd);
    bool committed = false;
    const auto removeTemp = [&] {
        if (!committed)
            ::unlink(temp.constData());
    };

    struct stat old
    {
    };
    const bool replacing =
        ::stat(QFile::encodeName(target).constData(), &old) == 0 && S_ISREG(old.st_mode);
    const mode_t mode = replacing ? (old.st_mode & 07777) : 0600;
    error = attempt(Step::Write, path, [&] { return ::fchmod(fd, mode); });
    if (error == 0)
        error = writeAll(fd, bytes, path);
    if (error == 0)
        error = attempt(Step::Sync, path, [&] { return ::fdatasync(fd); });
    if (error == 0)
        error = attempt(Step::Close, path, [&] { return file.close(); });
    if (error == 0) {
        error = attempt(Step::Commit, path, [&] {
            return ::rename(temp.constData(), QFile::encodeName(target).constData());
        });
        committed = error == 0;
    }
    removeTemp();
    if (error != 0)
        throw writeError(path, error);

    // The rename reaches the disk only with the folder: until then a power cut may bring the old
    // file back, or none. A file system without folder syncs (EINVAL) has nothing to sync, and a
    // folder that cannot be opened for reading cannot be synced: the save stands then.
    const Descriptor dir(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    error = attempt(Step::SyncFolder, path, [&] { return dir.get() < 0 ? 0 : ::fsync(dir.get()); });
    if (error != 0 && error != EINVAL)
        throw writeError(path, error);
}

QByteArray SafeFile::read(const QString& path)
{
    // Not blocking: a pipe at the path must not hang the program before its check below.
    int fd = -1;
    if (attempt(Step::Read, path, [&] {
            return fd = ::open(QFile::encodeName(path).constData(),
                               O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        }) != 0)
        throw DiaryError::cannotOpen(path);
    const Descriptor file(fd);
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        throw DiaryError::cannotOpen(path);

    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t got = 0;
        const int error =
            attempt(Step::ReadBlock, path, [&] { return got = ::read(fd, buffer, sizeof buffer); });
        if (error == EINTR)
            continue;
        // A file cut short is no file: a day must not load with its end missing.
        if (error != 0)
            throw DiaryError::cannotOpen(path);
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}

bool SafeFile::makeFolder(const QString& path)
{
    const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    const QFileInfo info(absolute);
    if (info.isDir())
        return true;
    const QString parent = info.path();
    if (parent != absolute && !makeFolder(parent))
        return false;
    const QByteArray name = QFile::encodeName(absolute);
    // The umask may take bits from 0700; the folder gets exactly 0700 all the same.
    if (::mkdir(name.constData(), 0700) == 0)
        ::chmod(name.constData(), 0700);
    return QFileInfo(absolute).isDir();
}

bool SafeFile::isLeftover(const QString& fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^.+%1[A-Za-z0-9]{%2}$")
                                                .arg(QRegularExpression::escape(LeftoverMark))
                                                .arg(UniqueLength));
    return pattern.match(fileName).hasMatch();
}

namespace {

// Removes the leftovers in folder: all of them, or those of the file named file.
void removeLeftoversIn(const QString& folder, const QString& file)
{
    // A plain directory read: the entries folder holds a file per day, and listing thousands
    // of them through QDir (a QFileInfo and a sort each) would slow every start-up.
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (!name.contains(LeftoverMark) || !SafeFile::isLeftover(name) ||
            (!file.isEmpty() && name.chopped(UniqueLength) != file + LeftoverMark))
            continue;
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
        struct stat info
        {
        };
        if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode))
            ::unlink(path.constData());
    }
    ::closedir(dir);
}

} // namespace

void SafeFile::removeLeftovers(const QString& folder)
{
    removeLeftoversIn(folder, {});
}

void SafeFile::removeLeftoversOf(const QString& path)
{
    const QFileInfo target(writeTarget(path));
    removeLeftoversIn(target.absolutePath(), target.fileName());
}
