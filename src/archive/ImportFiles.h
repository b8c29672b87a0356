#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// The files an import reads, from a zip archive or a folder on disk, each whole in memory. A file
// larger than MaxBytes is no diary's export; it is refused rather than read.
class ImportFiles
{
public:
    static constexpr qint64 MaxBytes = qint64(256) * 1024 * 1024;

    struct File
    {
        // The name inside the archive or folder, "/" between folders.
        QString name;
        QByteArray bytes;
    };

    // The archive's entries whose name wanted accepts. Throws a DiaryError when the archive
    // cannot be opened, an entry is larger than MaxBytes or does not read back whole.
    static QList<File> fromZip(const QString& zipPath,
                               const std::function<bool(const QString& name)>& wanted);
    // A regular file read whole; throws a DiaryError saying why it cannot be.
    static QByteArray read(const QString& path, qint64 maxBytes = MaxBytes);
    // Whether the file begins as a zip archive does.
    static bool isZip(const QString& path);
};
