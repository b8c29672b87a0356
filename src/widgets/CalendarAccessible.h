#pragma once

#include "widgets/GridAccessible.h"

class TCalendar;

// The month grid as a screen reader reads it: a table of 6 weeks by 7 days whose cells are the
// days of the shown month ("2024年3月15日 金曜日"), the selected one selected (and focused while
// the grid has the focus), today and days with an entry noted in the cell's description. Cells
// outside the month have no name and cannot be selected. The table's value is the selected day
// in full; its description adds the grid's tooltip (the day's title).
class CalendarAccessible : public GridAccessible
{
public:
    static constexpr int Weeks = 6;

    explicit CalendarAccessible(TCalendar* calendar);

    // Makes every month grid use this interface; safe to call again.
    static void install();
    // After every change of the selected date, while a screen reader listens: the cells renamed
    // by a new month, the new selection, the selected cell as the focus while the grid has it,
    // and the table's value are announced.
    static void selectionChanged(TCalendar* calendar);

    TCalendar* calendar() const;
    // Table row and column of a cell, row-major from the top-left cell.
    static int indexOf(int row, int column) { return row * 7 + column; }

    QString text(QAccessible::Text t) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    int selectedCellCount() const override { return selectedCells().size(); }
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return QString(); }
    int columnCount() const override { return 7; }
    int rowCount() const override { return Weeks; }

protected:
    GridCellAccessible* makeCell(int row, int column) const override;

private:
    void announce();
    int selectedIndex() const;
    int shownMonth() const;

    int m_shownMonth = 0;
    int m_selected = -1;
};
