#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <utility>

// The titles of a whole diary at once, for the tasks that go through every day: looked up by
// key in one step instead of a scan of diary.ini per day.
class DiaryTitles
{
public:
    // values: section "title" as TIniFile32::ReadSectionValues gives it. A key written twice
    // keeps its first value, the one a single day's read returns. Values stay code page 932.
    static QHash<QString, QByteArray> byKey(const QList<std::pair<QByteArray, QByteArray>>& values);
};
