#pragma once

#include <QByteArray>
#include <QString>

// The floor every save is measured against: an atomic replace with QSaveFile, the file's fsync
// and the folder's after the rename, and nothing else.
class PlainSave
{
public:
    static void write(const QString& path, const QByteArray& bytes);
};
