#pragma once

#include "widgets/GridAccessible.h"

class YearGrid;

// The year grid as a screen reader reads it: a table of 7 weekdays by the year's weeks whose
// cells are named as the calendar's, with the day's character count ("2024年3月15日 金曜日,
// 412字"); the current day selected, and focused while the grid has the focus. Cells outside the
// year have no name.
class YearGridAccessible : public GridAccessible
{
public:
    explicit YearGridAccessible(YearGrid* grid);

    // Makes every year grid use this interface; safe to call again.
    static void install();
    // After each move of the current day, while a screen reader listens.
    static void currentChanged(YearGrid* grid);

    YearGrid* grid() const;

    QString text(QAccessible::Text t) const override;
    QAccessibleInterface* focusChild() const override;

    int selectedCellCount() const override { return 1; }
    QList<QAccessibleInterface*> selectedCells() const override { return {currentCell()}; }
    QString columnDescription(int) const override { return QString(); }
    QString rowDescription(int row) const override;
    int columnCount() const override;
    int rowCount() const override { return 7; }

protected:
    GridCellAccessible* makeCell(int row, int column) const override;

private:
    QAccessibleInterface* currentCell() const;
    int currentIndex() const;

    int m_year = 0;
};
