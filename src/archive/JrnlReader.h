#pragma once

#include "core/tasks/ImportedEntries.h"

#include <QByteArray>
#include <QString>

// jrnl's JSON export: each entry's day and time as written ("2024-01-05", "09:30"), its title,
// body, tags ("@work") and star.
class JrnlReader
{
public:
    // Throws a DiaryError when the file is no jrnl export or cannot be read whole.
    static ImportedEntries read(const QString& path);
    static ImportedEntries read(const QByteArray& json, const QString& name);
};
