#pragma once

#include <QByteArray>
#include <QString>

// The floor every save is measured against: an atomic replace with QSaveFile, fsync included,
// and nothing else.
class PlainSave
{
public:
    static void write(const QString& path, const QByteArray& bytes);
};
