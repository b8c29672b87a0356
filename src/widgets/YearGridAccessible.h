#pragma once

#include <QAccessibleWidget>
#include <QHash>

class YearGrid;

// The year grid as a screen reader reads it: a table of 7 weekdays by the year's weeks whose
// cells are named as the calendar's, with the day's character count ("2024年3月15日 金曜日,
// 412字"); the current day selected, and focused while the grid has the focus. Cells outside the
// year have no name.
class YearGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit YearGridAccessible(YearGrid* grid);
    ~YearGridAccessible() override;

    // Makes every year grid use this interface; safe to call again.
    static void install();
    // After each move of the current day, while a screen reader listens.
    static void currentChanged(YearGrid* grid);

    YearGrid* grid() const;

    QString text(QAccessible::Text t) const override;
    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return 1; }
    QList<QAccessibleInterface*> selectedCells() const override { return {currentCell()}; }
    QString columnDescription(int) const override { return QString(); }
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override;
    int rowCount() const override { return 7; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    QAccessibleInterface* currentCell() const;
    int currentIndex() const;

    // Made on first use and kept, so that each keeps its identity on the bus. Row-major.
    mutable QHash<int, QAccessible::Id> m_cells;
    int m_year = 0;
};
