#pragma once

#include "widgets/GridCellAccessible.h"

#include <QPointer>

class TCalendar;

// One cell of the month grid's table (see CalendarAccessible): the day it shows in full, or
// nothing outside the month.
class CalendarDayAccessible : public GridCellAccessible
{
public:
    CalendarDayAccessible(TCalendar* calendar, int row, int column);

    // Day of the shown month in this cell, 0 for none.
    int day() const;

    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::State state() const override;

    bool isSelected() const override;

private:
    QPointer<TCalendar> m_calendar;
};
