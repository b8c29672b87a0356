#pragma once

#include <QDateTime>
#include <QString>

struct stat;

// What a file looked like at one moment, enough to tell that it has changed since without
// reading it: a sync tool replaces a file by a rename (a new inode), and an editor changes its
// size or time. One stat call.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    quint64 device = 0;

    // Follows a link, as reading the file does.
    static FileStamp of(const QString& path);
    // The file named in a folder held open (an O_DIRECTORY descriptor).
    static FileStamp of(int folder, const QByteArray& name);
    static FileStamp of(const struct stat& info);
    QDateTime modified() const;

    bool operator==(const FileStamp&) const = default;
};
