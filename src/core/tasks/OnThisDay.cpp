#include "core/tasks/OnThisDay.h"

#include "core/diary/DayStore.h"

QList<QDate> OnThisDay::select(const QStringList& keys, const QDate& shown)
{
    QList<QDate> days;
    for (const QString& key : keys) {
        const QDate date = DayStore::dateOfKey(key);
        if (date.isValid() && date.month() == shown.month() && date.day() == shown.day() &&
            date.year() != shown.year())
            days.append(date);
    }
    std::sort(days.begin(), days.end(), std::greater<>());
    return days;
}
