#pragma once

#include <QDate>
#include <QList>
#include <QStringList>

// The same day in the diary's other years.
class OnThisDay
{
public:
    // The days of keys (date keys of the entries) that fall on the month and day of shown in
    // another year, newest first. 29 February is met only in leap years: a year without one has
    // nothing on it, and its 28 February and 1 March are met on those days.
    static QList<QDate> select(const QStringList& keys, const QDate& shown);
};
