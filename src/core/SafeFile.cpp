#include "core/SafeFile.h"

#include "core/DiaryError.h"

#include <QFile>
#include <QSaveFile>

void SafeFile::write(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // A writable file in a read-only folder still saves, in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw DiaryError::cannotCreate(path);
}

QByteArray SafeFile::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DiaryError::cannotOpen(path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw DiaryError::cannotOpen(path);
    return bytes;
}
