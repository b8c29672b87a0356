#pragma once

#include <QAccessibleWidget>
#include <QHash>

class TCalendar;

// The month grid as a screen reader reads it: a table of 6 weeks by 7 days whose cells are the
// days of the shown month ("2024年3月15日 金曜日"), the selected one selected (and focused while
// the grid has the focus), today and days with an entry noted in the cell's description. Cells
// outside the month have no name and cannot be selected. The table's value is the selected day
// in full; its description adds the grid's tooltip (the day's title).
class CalendarAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    static constexpr int Weeks = 6;

    explicit CalendarAccessible(TCalendar* calendar);
    ~CalendarAccessible() override;

    // Makes every month grid use this interface; safe to call again.
    static void install();
    // After every change of the selected date, while a screen reader listens: the cells renamed
    // by a new month, the new selection, the selected cell as the focus while the grid has it,
    // and the table's value are announced.
    static void selectionChanged(TCalendar* calendar);

    TCalendar* calendar() const;
    // Table row and column of a cell, row-major from the top-left cell.
    static int indexOf(int row, int column) { return row * 7 + column; }

    QAccessible::Role role() const override { return QAccessible::Table; }
    QString text(QAccessible::Text t) const override;
    int childCount() const override { return Weeks * 7; }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return selectedCells().size(); }
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return QString(); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return 7; }
    int rowCount() const override { return Weeks; }
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
    void announce();
    int selectedIndex() const;
    int shownMonth() const;

    // The cells are made on first use and kept, so that each keeps its identity on the bus.
    mutable QHash<int, QAccessible::Id> m_cells;
    int m_shownMonth = 0;
    int m_selected = -1;
};
