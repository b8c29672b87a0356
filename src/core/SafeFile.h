#pragma once

#include <QByteArray>
#include <QString>

// The one way the program reads and writes its files. A write replaces the file atomically:
// a crash or a full disk mid-write leaves the old file whole.
class SafeFile
{
public:
    // Creates or replaces the file; throws DiaryError::cannotCreate on any failure.
    static void write(const QString& path, const QByteArray& bytes);
    // Reads the whole file; throws DiaryError::cannotOpen when it exists but cannot be read.
    static QByteArray read(const QString& path);
};
