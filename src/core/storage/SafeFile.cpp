#include "core/storage/SafeFile.h"

#include "core/storage/Descriptor.h"
#include "core/storage/DiaryError.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
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

bool isOwnFile(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_uid == ::geteuid();
}

// Opens the file to read through the fault seam, without blocking: a pipe at the path must not
// hang the program before its type is checked. name is the path, or a name in folder.
Descriptor openToRead(int folder, const char* name, const QString& path, int flags)
{
    int fd = -1;
    const int error = attempt(SafeFile::Step::Read, path, [&] {
        return fd = ::openat(folder, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | flags);
    });
    if (error == ELOOP)
        throw DiaryError::notOwnFile(path);
    if (error != 0)
        throw DiaryError::cannotOpen(path);
    return Descriptor(fd);
}

// The file's bytes, or no value once they pass maxBytes (the file may have grown since it was
// measured).
std::optional<QByteArray> readAll(int fd, const QString& path, qint64 size, qint64 maxBytes)
{
    // Read straight into the result, one byte over the size seen: the file may have grown.
    QByteArray bytes(qsizetype(std::min(size, maxBytes)) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled > maxBytes)
            return std::nullopt;
        if (filled == bytes.size())
            bytes.resize(filled * 2);
        ssize_t got = 0;
        const int error = attempt(SafeFile::Step::ReadBlock, path, [&] {
            return got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        });
        if (error == EINTR)
            continue;
        // A file cut short is no file: a day must not load with its end missing.
        if (error != 0)
            throw DiaryError::cannotOpen(path);
        if (got == 0)
            break;
        filled += got;
    }
    if (filled > maxBytes)
        return std::nullopt;
    bytes.truncate(filled);
    return bytes;
}

// Makes a change of the folder's entries durable; 0 or the errno. A file system without folder
// syncs (EINVAL) has nothing to sync, and a folder that cannot be opened for reading cannot be
// synced: the change stands then.
int syncFolder(const QString& folder, const QString& path)
{
    const Descriptor dir(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int error = attempt(SafeFile::Step::SyncFolder, path,
                              [&] { return dir.get() < 0 ? 0 : ::fsync(dir.get()); });
    return error == EINVAL ? 0 : error;
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

namespace {

// A new file written beside the one it replaces, not yet in its place.
struct Staged
{
    QString path;
    QByteArray target;
    QByteArray temp;
    QString folder;
};

// Writes the new file beside the old one; its bytes reach the disk before it returns when sync
// says so. Throws naming path; nothing is left beside the old file then.
Staged stage(const QString& path, const QByteArray& bytes, bool sync)
{
    using Step = SafeFile::Step;
    struct stat old
    {
    };
    const QByteArray targetName = QFile::encodeName(path);
    const bool exists = ::lstat(targetName.constData(), &old) == 0;
    // A link swapped in after this look is replaced by the rename, never written through.
    if (exists && !isOwnFile(old))
        throw DiaryError::notOwnFile(path);
    const QFileInfo targetInfo(path);
    const QString folder = targetInfo.absolutePath();
    QByteArray temp =
        QFile::encodeName(folder + QLatin1Char('/') + targetInfo.fileName() + LeftoverMark) +
        "XXXXXX";

    int fd = -1;
    int error = attempt(Step::Create, path, [&] { return fd = ::mkstemp(temp.data()); });
    if (error != 0)
        throw writeError(path, error);
    Descriptor file(fd);

    // The text stays private (mkstemp's 0600) while it is written; the file replaced lends the
    // new one its mode just before the rename.
    const mode_t mode = exists ? (old.st_mode & 07777) : 0600;
    error = writeAll(fd, bytes, path);
    if (error == 0 && sync)
        error = attempt(Step::Sync, path, [&] { return ::fdatasync(fd); });
    if (error == 0)
        error = attempt(Step::Write, path, [&] { return ::fchmod(fd, mode); });
    if (error == 0)
        error = attempt(Step::Close, path, [&] { return file.close(); });
    if (error != 0) {
        ::unlink(temp.constData());
        throw writeError(path, error);
    }
    return {path, targetName, temp, folder};
}

void commit(const Staged& staged)
{
    const int error = attempt(SafeFile::Step::Commit, staged.path, [&] {
        return ::rename(staged.temp.constData(), staged.target.constData());
    });
    if (error != 0) {
        ::unlink(staged.temp.constData());
        throw writeError(staged.path, error);
    }
}

// The rename reaches the disk only with the folder: until then a power cut may bring the old
// file back, or none.
void syncFolderOf(const Staged& staged)
{
    if (const int error = syncFolder(staged.folder, staged.path))
        throw writeError(staged.path, error);
}

} // namespace

void SafeFile::write(const QString& path, const QByteArray& bytes, Links)
{
    const Staged staged = stage(path, bytes, true);
    commit(staged);
    syncFolderOf(staged);
}

void SafeFile::writeMany(const QList<std::pair<QString, QByteArray>>& files, Links)
{
    QList<Staged> staged;
    const auto removeStaged = [&](qsizetype from) {
        for (qsizetype i = from; i < staged.size(); ++i)
            ::unlink(staged[i].temp.constData());
    };
    try {
        for (const auto& [path, bytes] : files)
            staged.append(stage(path, bytes, false));
    } catch (const DiaryError&) {
        removeStaged(0);
        throw;
    }
    // Every new file's bytes reach the disk before the first one takes its place.
    QSet<QString> folders;
    for (const Staged& file : std::as_const(staged)) {
        if (folders.contains(file.folder))
            continue;
        folders.insert(file.folder);
        const Descriptor folder(
            ::open(QFile::encodeName(file.folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        const int error = attempt(Step::Sync, file.path,
                                  [&] { return folder.get() < 0 ? -1 : ::syncfs(folder.get()); });
        if (error != 0) {
            removeStaged(0);
            throw writeError(file.path, error);
        }
    }
    for (qsizetype i = 0; i < staged.size(); ++i) {
        try {
            commit(staged[i]);
        } catch (const DiaryError&) {
            removeStaged(i + 1);
            // What was renamed before is in place: it reaches the disk too.
            if (i > 0)
                syncFolder(staged[i - 1].folder, staged[i - 1].path);
            throw;
        }
    }
    folders.clear();
    for (const Staged& file : std::as_const(staged)) {
        if (!folders.contains(file.folder))
            syncFolderOf(file);
        folders.insert(file.folder);
    }
}

void SafeFile::remove(const QString& path)
{
    // unlink() never follows a link: a link at the path goes, what it names stays.
    const int error =
        attempt(Step::Remove, path, [&] { return ::unlink(QFile::encodeName(path).constData()); });
    if (error == ENOENT)
        return;
    if (error != 0)
        throw DiaryError::cannotRemove(path, error == EACCES || error == EPERM || error == EROFS);
    // Until the folder reaches the disk, a power cut may bring the file back.
    if (syncFolder(QFileInfo(path).absolutePath(), path) != 0)
        throw DiaryError::cannotRemove(path, false);
}

QByteArray SafeFile::read(const QString& path, qint64 maxBytes)
{
    const Descriptor file = openToRead(AT_FDCWD, QFile::encodeName(path).constData(), path, 0);
    struct stat info
    {
    };
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw DiaryError::cannotOpen(path);
    const std::optional<QByteArray> bytes =
        info.st_size > maxBytes ? std::nullopt : readAll(file.get(), path, info.st_size, maxBytes);
    if (!bytes)
        throw DiaryError::tooLarge(path, maxBytes);
    return *bytes;
}

std::optional<QByteArray> SafeFile::readOwn(const QString& path, qint64 maxBytes)
{
    return readOwnAt(AT_FDCWD, QFile::encodeName(path), path, maxBytes);
}

std::optional<QByteArray> SafeFile::readOwnAt(int folder, const QByteArray& name,
                                              const QString& path, qint64 maxBytes,
                                              FileStamp* stamp)
{
    // Looked at before it is opened: opening a device may act on it.
    struct stat seen
    {
    };
    if (::fstatat(folder, name.constData(), &seen, AT_SYMLINK_NOFOLLOW) != 0)
        throw DiaryError::cannotOpen(path);
    if (!isOwnFile(seen))
        throw DiaryError::notOwnFile(path);
    const Descriptor file = openToRead(folder, name.constData(), path, O_NOFOLLOW);
    struct stat info
    {
    };
    if (::fstat(file.get(), &info) != 0)
        throw DiaryError::cannotOpen(path);
    // Another file may have taken the name since the look.
    if (!isOwnFile(info) || info.st_ino != seen.st_ino || info.st_dev != seen.st_dev)
        throw DiaryError::notOwnFile(path);
    if (stamp)
        *stamp = FileStamp::of(info);
    if (info.st_size > maxBytes)
        return std::nullopt;
    return readAll(file.get(), path, info.st_size, maxBytes);
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

void SafeFile::removeLeftovers(const QString& folder)
{
    // A plain directory read: the entries folder holds a file per day, and listing thousands
    // of them through QDir (a QFileInfo and a sort each) would slow every start-up.
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (!name.contains(LeftoverMark) || !SafeFile::isLeftover(name))
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
