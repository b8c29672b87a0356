#pragma once

#include <QDate>
#include <QList>

// The same day in the diary's other years.
class OnThisDay
{
public:
    // The days of written (in any order) that fall on the month and day of shown in another
    // year, newest first. 29 February is met only in leap years: a year without one has
    // nothing on it, and its 28 February and 1 March are met on those days.
    static QList<QDate> select(const QList<QDate>& written, const QDate& shown);
};
