#include "core/time/MonthLayout.h"

#include "core/time/Clock.h"
#include "core/time/DiaryDate.h"

#include <QLocale>
#include <QScopeGuard>
#include <algorithm>
#include <cmath>

namespace {
// Midnight in UTC has no daylight-saving gap, so the time of day is really 0.
double midnight(const QDate& date)
{
    return DiaryDate::fromDateTime(date.startOfDay(Qt::UTC));
}
} // namespace

MonthLayout::MonthLayout(const Clock& clock) : m_clock(clock)
{
    m_selectedDate = today();
    layOut();
}

void MonthLayout::SetSelectedDate(double date)
{
    m_selectedDate = date;
    layOut();
    notify();
}

void MonthLayout::setDay(int n)
{
    if (n < 1 || n > daysInShownMonth() || n == Day())
        return;
    m_selectedDate = midnight(QDate(Year(), Month(), n));
    m_useCurrentDate = false;
    layOut();
    notify();
}

void MonthLayout::StepMonth(int delta)
{
    const int day = Day();
    const QDate first = QDate(Year(), Month(), 1).addMonths(delta);
    const int last = DaysInMonth(first.year(), first.month());
    SetSelectedDate(midnight(QDate(first.year(), first.month(), std::min(day, last))));
}

void MonthLayout::setUseCurrentDate(bool on)
{
    if (on == m_useCurrentDate)
        return;
    m_useCurrentDate = on;
    if (on) {
        m_selectedDate = today();
        layOut();
    }
}

void MonthLayout::setStartOfWeek(int weekday)
{
    if (weekday < 0 || weekday > 6 || weekday == m_startOfWeek)
        return;
    m_startOfWeek = weekday;
    layOut();
}

int MonthLayout::DaysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : days[month - 1];
}

QString MonthLayout::CellLabel(int col, int row) const
{
    if (row == 0 && col >= 0 && col < Columns) {
        // QLocale counts Monday as 1 and Sunday as 7; the grid counts Sunday as 0.
        const int weekday = (m_startOfWeek + col) % 7;
        return QLocale().dayName(weekday == 0 ? 7 : weekday, QLocale::ShortFormat);
    }
    const int n = dayAt(col, row);
    return n > 0 ? QString::number(n) : QString();
}

int MonthLayout::dayAt(int col, int row) const
{
    if (col < 0 || col >= Columns || row < 1 || row >= Rows)
        return 0;
    const int n = m_firstCellOffset + col + (row - 1) * 7;
    return n >= 1 && n <= daysInShownMonth() ? n : 0;
}

QPoint MonthLayout::cellOfDay(int n) const
{
    return QPoint((n - m_firstCellOffset) % 7, (n - m_firstCellOffset) / 7 + 1);
}

bool MonthLayout::canSelect(int col, int row) const
{
    return dayAt(col, row) != 0 && !(m_readOnly && !m_updating);
}

double MonthLayout::dateOfDay(int n) const
{
    return midnight(QDate(Year(), Month(), n));
}

bool MonthLayout::isToday(int n) const
{
    return std::abs(dateOfDay(n) - today()) < 1.0;
}

QDate MonthLayout::shownDate() const
{
    return DiaryDate::toDate(m_selectedDate);
}

double MonthLayout::today() const
{
    return midnight(m_clock.localNow().date());
}

void MonthLayout::layOut()
{
    m_updating = true;
    const auto done = qScopeGuard([this] { m_updating = false; });
    // The weekday of the 1st counted 1 (Sunday) … 7 (Saturday); QDate counts Sunday as 7.
    const int w = QDate(Year(), Month(), 1).dayOfWeek() % 7 + 1;
    const int a = (w - m_startOfWeek + 7) % 7;
    m_firstCellOffset = a == 0 ? -5 : 2 - a;
    if (m_onLayout)
        m_onLayout();
}

void MonthLayout::notify()
{
    if (m_onChange)
        m_onChange();
}
