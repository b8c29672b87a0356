#include "core/tasks/OnThisDay.h"

#include <algorithm>

QList<QDate> OnThisDay::select(const QList<QDate>& written, const QDate& shown)
{
    QList<QDate> days;
    for (const QDate& date : written) {
        if (date.month() == shown.month() && date.day() == shown.day() &&
            date.year() != shown.year())
            days.append(date);
    }
    std::sort(days.begin(), days.end(), std::greater<>());
    return days;
}
