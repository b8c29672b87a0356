#include "widgets/CalendarDayAccessible.h"

#include "widgets/AccessibleNames.h"
#include "widgets/Calendar.h"

CalendarDayAccessible::CalendarDayAccessible(TCalendar* calendar, int row, int column)
    : GridCellAccessible(calendar, row, column), m_calendar(calendar)
{
}

// Table row 0 is the grid's first week, below the header of weekday names.
int CalendarDayAccessible::day() const
{
    return m_calendar ? m_calendar->monthLayout().dayAt(m_column, m_row + 1) : 0;
}

QString CalendarDayAccessible::text(QAccessible::Text t) const
{
    const int n = day();
    if (n == 0)
        return QString();
    switch (t) {
    case QAccessible::Name:
        return AccessibleNames::dayName(QDate(m_calendar->Year(), m_calendar->Month(), n));
    case QAccessible::Description:
        return AccessibleNames::dayNotes(m_calendar->monthLayout().isToday(n),
                                         m_calendar->hasEntryOnDay(n));
    default:
        return QString();
    }
}

QRect CalendarDayAccessible::rect() const
{
    if (!m_calendar)
        return QRect();
    const QRect cell = m_calendar->cellRect(m_column, m_row + 1);
    return onScreen(cell);
}

QAccessible::State CalendarDayAccessible::state() const
{
    QAccessible::State state;
    if (!m_calendar)
        return state;
    state.invisible = !m_calendar->isVisible();
    if (day() == 0)
        return state;
    state.selectable = state.focusable = !m_calendar->ReadOnly();
    state.selected = isSelected();
    state.focused = state.selected && m_calendar->hasFocus();
    return state;
}

bool CalendarDayAccessible::isSelected() const
{
    return day() != 0 && day() == m_calendar->Day();
}
