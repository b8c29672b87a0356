#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

// A diary date-time is a double counting days since 1899-12-30; the fraction is the time of day.
// Only the calendar date names a day's entry.
class DiaryDate
{
public:
    static double fromDateTime(const QDateTime& dateTime);
    // The day at midnight; no time zone is consulted.
    static double fromDate(const QDate& date) { return double(epoch().daysTo(date)); }
    static QDate toDate(double dateTime);
    // "yyyymmdd": names the entry file and keys the title.
    static QString key(double dateTime);
    // "2024年1月5日 金": month and day without leading zeros, the locale's short weekday.
    static QString dateLine(double dateTime, const QLocale& locale = QLocale());

private:
    static QDate epoch() { return QDate(1899, 12, 30); }
};
