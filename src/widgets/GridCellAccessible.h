#pragma once

#include <QAccessibleInterface>
#include <QPointer>
#include <QWidget>

// One cell of a table the program paints itself (the month grid, the year grid), as a screen
// reader reads it: what every such cell answers alike. A cell says itself what it shows, where
// it stands, its state and whether it is the grid's chosen one.
class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    GridCellAccessible(QWidget* grid, int row, int column);

    bool isValid() const override { return !m_cellOwner.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::Cell; }
    void* interface_cast(QAccessible::InterfaceType t) override;

    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

protected:
    // The grid's rectangle of a cell on the screen.
    QRect onScreen(const QRect& cell) const;

    const int m_row;
    const int m_column;

private:
    QPointer<QWidget> m_cellOwner; // the grid the cell belongs to
};
