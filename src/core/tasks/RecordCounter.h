#pragma once

#include "core/diary/DayStore.h"
#include "core/storage/FileStamp.h"
#include "core/tasks/DiaryRecord.h"

#include <QHash>
#include <functional>

// Counts the diary's days for its record, each day decoded once: the counts are kept, and a
// refresh reads again only the days whose file changed on disk since (a save, a sync tool), found
// by their file stamps. Only reads the diary.
class RecordCounter
{
public:
    explicit RecordCounter(DayStore days);

    // Lists the entries folder and counts what is new or changed; a day gone is dropped. Stops
    // between two days once cancelled() says so (which may be asked from two threads at once),
    // keeping none of this refresh's counts, and returns false then.
    bool refresh(const std::function<bool()>& cancelled = [] { return false; });
    DiaryRecord record() const { return DiaryRecord(m_days); }

private:
    // Fewer changed days than this are counted on the calling thread alone.
    static constexpr qsizetype SplitFrom = 256;

    // Counts the day's characters from the file in the entries folder held open, and gives the
    // stamp of the file counted.
    RecordDay countDay(int folder, const QString& key, FileStamp& stamp) const;

    DayStore m_store;
    QHash<QString, FileStamp> m_stamps;
    DiaryRecord::Days m_days;
};
