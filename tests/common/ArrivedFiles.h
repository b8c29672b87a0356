#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

// Files as a sync peer or another user may leave them in a folder, made from short records, and
// what a folder holds, to tell whether anything in it changed.
class ArrivedFiles
{
public:
    // Places one thing under root from "KIND:PATH=VALUE": f a file holding VALUE's bytes, l a
    // link to VALUE, d a folder, p a pipe, s a sparse file of VALUE bytes (nothing on the disk).
    // PATH is raw bytes below root; missing folders on the way are made. A record of another
    // form, or whose path leaves root, places nothing and gives false.
    static bool place(const QString& root, const QByteArray& record)
    {
        const qsizetype equals = record.indexOf('=');
        const QByteArray path = record.mid(2, equals < 0 ? -1 : equals - 2);
        const QByteArray value = equals < 0 ? QByteArray() : record.mid(equals + 1);
        if (record.size() < 3 || record.at(1) != ':' || path.startsWith('/') ||
            path.split('/').contains(".."))
            return false;
        const QString full = root + QLatin1Char('/') + QFile::decodeName(path);
        const QByteArray name = QFile::encodeName(full);
        QDir().mkpath(QFileInfo(full).path());
        switch (record.at(0)) {
        case 'f': {
            QFile file(full);
            return file.open(QIODevice::WriteOnly) && file.write(value) == value.size();
        }
        case 'l':
            return ::symlink(value.constData(), name.constData()) == 0;
        case 'd':
            return QDir().mkpath(full);
        case 'p':
            return ::mkfifo(name.constData(), 0600) == 0;
        case 's': {
            QFile file(full);
            return file.open(QIODevice::WriteOnly) && file.resize(value.toLongLong());
        }
        default:
            return false;
        }
    }

    // Every path under folder, except those under skip, with what stands there: a file's digest
    // (its size alone past a few MiB, which a sparse file of gigabytes is), a link's target,
    // "folder", "other". Nothing is followed or opened but regular files.
    static QMap<QString, QByteArray> snapshot(const QString& folder, const QString& skip = {})
    {
        QMap<QString, QByteArray> seen;
        QDirIterator it(folder,
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!skip.isEmpty() && (path == skip || path.startsWith(skip + QLatin1Char('/'))))
                continue;
            const QFileInfo info = it.fileInfo();
            QByteArray& what = seen[path];
            if (info.isSymLink()) {
                what = "link " + QFile::encodeName(info.symLinkTarget());
            } else if (info.isDir()) {
                what = "folder";
            } else if (!info.isFile()) {
                what = "other";
            } else if (info.size() > 8 * 1024 * 1024) {
                what = "size " + QByteArray::number(info.size());
            } else {
                QFile file(path);
                what = file.open(QIODevice::ReadOnly)
                           ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                           : "unreadable";
            }
        }
        return seen;
    }
};
