#include "widgets/YearDayAccessible.h"

#include "widgets/YearGrid.h"

YearDayAccessible::YearDayAccessible(YearGrid* grid, int row, int column)
    : GridCellAccessible(grid, row, column), m_grid(grid)
{
}

QString YearDayAccessible::text(QAccessible::Text t) const
{
    const QDate date = m_grid ? m_grid->dateAt(m_column, m_row) : QDate();
    if (!date.isValid())
        return QString();
    if (t == QAccessible::Name)
        return m_grid->cellName(date);
    if (t == QAccessible::Description)
        return m_grid->describe(date).mid(m_grid->cellName(date).size() + 1);
    return QString();
}

QRect YearDayAccessible::rect() const
{
    if (!m_grid)
        return QRect();
    const QRect cell = m_grid->cellRect(m_column, m_row);
    return onScreen(cell);
}

QAccessible::State YearDayAccessible::state() const
{
    QAccessible::State state;
    if (!m_grid)
        return state;
    state.invisible = !m_grid->isVisible();
    if (!m_grid->dateAt(m_column, m_row).isValid())
        return state;
    state.selectable = state.focusable = true;
    state.selected = isSelected();
    state.focused = state.selected && m_grid->hasFocus();
    return state;
}

bool YearDayAccessible::isSelected() const
{
    return m_grid && m_grid->dateAt(m_column, m_row) == m_grid->current();
}
