#include "widgets/GridAccessible.h"

#include "widgets/GridCellAccessible.h"

GridAccessible::GridAccessible(QWidget* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

GridAccessible::~GridAccessible()
{
    forgetCells();
}

void GridAccessible::forgetCells()
{
    for (const QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}

QAccessibleInterface* GridAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto found = m_cells.constFind(index); found != m_cells.cend())
        return QAccessible::accessibleInterface(*found);
    GridCellAccessible* cell = makeCell(index / columnCount(), index % columnCount());
    m_cells.insert(index, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

int GridAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child)
            return it.key();
    }
    return -1;
}

void* GridAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessibleInterface* GridAccessible::cellAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
    return child(row * columnCount() + column);
}
