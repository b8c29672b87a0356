#include "core/storage/FileStamp.h"

#include <QFile>

#include <sys/stat.h>

FileStamp FileStamp::of(const QString& path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1000000000 + qint64(info.st_mtim.tv_nsec),
            quint64(info.st_ino), quint64(info.st_dev)};
}

QDateTime FileStamp::modified() const
{
    return QDateTime::fromMSecsSinceEpoch(modifiedNs / 1000000);
}
