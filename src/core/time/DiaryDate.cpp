#include "core/time/DiaryDate.h"

#include <cmath>

namespace {
constexpr double MsecsPerDay = 86400000.0;
}

double DiaryDate::fromDateTime(const QDateTime& dateTime)
{
    const double days = static_cast<double>(epoch().daysTo(dateTime.date()));
    return days + dateTime.time().msecsSinceStartOfDay() / MsecsPerDay;
}

QDate DiaryDate::toDate(double dateTime)
{
    return epoch().addDays(static_cast<qint64>(std::trunc(dateTime)));
}

QString DiaryDate::key(double dateTime)
{
    const QDate date = toDate(dateTime);
    return QStringLiteral("%1%2%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString DiaryDate::dateLine(double dateTime, const QLocale& locale)
{
    const QDate date = toDate(dateTime);
    return QStringLiteral("%1年%2月%3日 %4")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(locale.dayName(date.dayOfWeek(), QLocale::ShortFormat));
}
