#include "core/storage/RuntimeFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A real folder of this user's that nobody else may enter, read or change.
bool isPrivate(const QString& path)
{
    struct stat info
    {
    };
    return path.startsWith(QLatin1Char('/')) &&
           ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// A folder in which only this user (or the system) can make or swap names: the home folder and
// ~/.cache, which may be links to another disk and readable by others.
bool isUsersOwn(const QString& path)
{
    struct stat info
    {
    };
    return path.startsWith(QLatin1Char('/')) &&
           ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           (info.st_uid == ::geteuid() || info.st_uid == 0) && (info.st_mode & 022) == 0;
}

// The program's folder in parent, made when missing; empty when what is there is not private.
QString programFolderIn(const QString& parent)
{
    const QString path = parent + QStringLiteral("/tobiquill");
    const QByteArray name = QFile::encodeName(path);
    // The umask may take bits from 0700; the folder gets exactly 0700 all the same.
    if (::mkdir(name.constData(), 0700) == 0)
        ::chmod(name.constData(), 0700);
    return isPrivate(path) ? path : QString();
}

} // namespace

QString RuntimeFolder::path()
{
    return choose(
        {qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("/run/user/%1").arg(::geteuid())},
        QDir::homePath());
}

QString RuntimeFolder::choose(const QStringList& runtimeFolders, const QString& home)
{
    for (const QString& runtime : runtimeFolders) {
        if (!isPrivate(runtime))
            continue;
        if (const QString folder = programFolderIn(runtime); !folder.isEmpty())
            return folder;
    }
    if (!isUsersOwn(home))
        return {};
    const QString cache = home + QStringLiteral("/.cache");
    ::mkdir(QFile::encodeName(cache).constData(), 0700);
    return isUsersOwn(cache) ? programFolderIn(cache) : QString();
}

QString RuntimeFolder::fileFor(const QString& folder, const QString& ending)
{
    const QString runtime = path();
    if (runtime.isEmpty())
        return {};
    const QFileInfo info(folder);
    const QString real = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray key = QCryptographicHash::hash(QFile::encodeName(QDir::cleanPath(real)),
                                                    QCryptographicHash::Sha256)
                               .toHex()
                               .left(32);
    return runtime + QLatin1Char('/') + QString::fromLatin1(key) + ending;
}
