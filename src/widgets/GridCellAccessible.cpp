#include "widgets/GridCellAccessible.h"

#include <QWindow>

GridCellAccessible::GridCellAccessible(QWidget* grid, int row, int column)
    : m_row(row), m_column(column), m_cellOwner(grid)
{
}

QWindow* GridCellAccessible::window() const
{
    return m_cellOwner ? m_cellOwner->window()->windowHandle() : nullptr;
}

QAccessibleInterface* GridCellAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(m_cellOwner.data());
}

void* GridCellAccessible::interface_cast(QAccessible::InterfaceType t)
{
    return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this)
                                                : nullptr;
}

QRect GridCellAccessible::onScreen(const QRect& cell) const
{
    return m_cellOwner ? QRect(m_cellOwner->mapToGlobal(cell.topLeft()), cell.size()) : QRect();
}
