#include "core/storage/FileStamp.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

FileStamp FileStamp::of(const QString& path)
{
    return of(AT_FDCWD, QFile::encodeName(path));
}

FileStamp FileStamp::of(int folder, const QByteArray& name)
{
    struct stat info
    {
    };
    if (::fstatat(folder, name.constData(), &info, 0) != 0)
        return {};
    return of(info);
}

FileStamp FileStamp::of(const struct stat& info)
{
    return {true, qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1000000000 + qint64(info.st_mtim.tv_nsec),
            quint64(info.st_ino), quint64(info.st_dev)};
}
QDateTime FileStamp::modified() const
{
    return QDateTime::fromMSecsSinceEpoch(modifiedNs / 1000000);
}
