#pragma once

#include <QAccessibleWidget>
#include <QHash>

class GridCellAccessible;

// A table the program paints itself (the month grid, the year grid), as a screen reader reads
// it: its cells, made on first use and kept so that each keeps its identity on the bus, and a
// table in which the reader selects nothing itself. A grid says how many rows and columns it
// has and makes its cells.
class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit GridAccessible(QWidget* grid);
    ~GridAccessible() override;

    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

protected:
    virtual GridCellAccessible* makeCell(int row, int column) const = 0;
    // Drops the kept cells, for a grid whose shape changed.
    void forgetCells();

private:
    // Row-major.
    mutable QHash<int, QAccessible::Id> m_cells;
};
