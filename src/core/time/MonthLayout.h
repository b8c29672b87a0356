#pragma once

#include <QDate>
#include <QPoint>
#include <QString>
#include <functional>

class Clock;

// The month grid's rules without the grid: which day sits in which of the 7 × 7 cells, what each
// cell reads, which cells the user may select, and how the selected date changes.
//
// Row 0 is the header of weekday names; rows 1 to 6 are weeks. Column 0 shows the weekday
// StartOfWeek (0 Sunday … 6 Saturday). Day n sits in column (n − firstCellOffset) mod 7 of row
// (n − firstCellOffset) div 7 + 1; the 1st always lies in row 1.
//
// Dates are the diary's doubles (days since 1899-12-30, fraction = time of day). "Today" is the
// local date of the clock handed to the constructor, which must outlive the layout.
class MonthLayout
{
public:
    static constexpr int Columns = 7;
    static constexpr int Rows = 7;

    // Starts on today's date (time of day 0) with UseCurrentDate on; nothing is notified.
    explicit MonthLayout(const Clock& clock);

    // Called after every change of selectedDate made by SetSelectedDate, setDay and StepMonth.
    void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }
    // Called at the end of every layout, while updating() is still true: the view repaints.
    void setOnLayout(std::function<void()> onLayout) { m_onLayout = std::move(onLayout); }

    double selectedDate() const { return m_selectedDate; }
    // Stores the date unchanged (time of day included), lays out and always notifies, even when
    // the date is the one already selected.
    void SetSelectedDate(double date);

    int Year() const { return shownDate().year(); }
    int Month() const { return shownDate().month(); }
    int Day() const { return shownDate().day(); }
    // Moves to day n of the shown month, dropping the time of day and switching UseCurrentDate
    // off. Ignored (nothing notified) for n < 1, n past the month's end and the current day.
    void setDay(int n);

    // Moves by whole months, keeping the day where the new month has it and otherwise taking
    // the new month's last day; the time of day is dropped. Always notifies.
    void StepMonth(int delta);

    // Switching on selects today and lays out without notifying.
    bool UseCurrentDate() const { return m_useCurrentDate; }
    void setUseCurrentDate(bool on);

    // 0 Sunday … 6 Saturday; other values are ignored. A change lays out without notifying.
    int StartOfWeek() const { return m_startOfWeek; }
    void setStartOfWeek(int weekday);

    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // True only while the grid is being laid out.
    bool updating() const { return m_updating; }

    // From −5 to 1: the day number column 0 of row 1 would hold.
    int firstCellOffset() const { return m_firstCellOffset; }

    static int DaysInMonth(int year, int month);
    int daysInShownMonth() const { return DaysInMonth(Year(), Month()); }

    // Row 0: the locale's abbreviated weekday name; rows 1 to 6: the day number, or empty
    // outside the shown month. Empty for cells outside the grid.
    QString CellLabel(int col, int row) const;
    // The day shown in a cell, 0 for the header, empty cells and cells outside the grid.
    int dayAt(int col, int row) const;
    // Column (x) and row (y) of day n of the shown month.
    QPoint cellOfDay(int n) const;
    QPoint selectedCell() const { return cellOfDay(Day()); }
    // The user may select a cell that shows a day, unless ReadOnly (while not laying out).
    bool canSelect(int col, int row) const;

    // Day n of the shown month at midnight.
    double dateOfDay(int n) const;
    // Whether day n of the shown month is the clock's local date now.
    bool isToday(int n) const;

private:
    QDate shownDate() const;
    double today() const;
    void layOut();
    void notify();

    const Clock& m_clock;
    double m_selectedDate = 0;
    int m_firstCellOffset = 1;
    int m_startOfWeek = 0;
    bool m_useCurrentDate = true;
    bool m_readOnly = false;
    bool m_updating = false;
    std::function<void()> m_onChange;
    std::function<void()> m_onLayout;
};
