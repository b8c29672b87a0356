#include "widgets/YearGridAccessible.h"

#include "widgets/AccessibleNames.h"
#include "widgets/YearDayAccessible.h"
#include "widgets/YearGrid.h"

namespace {
QAccessibleInterface* makeYearGridAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("YearGrid"))
        return new YearGridAccessible(static_cast<YearGrid*>(object));
    return nullptr;
}
} // namespace

YearGridAccessible::YearGridAccessible(YearGrid* grid) : GridAccessible(grid), m_year(grid->year())
{
}

void YearGridAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeYearGridAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

YearGrid* YearGridAccessible::grid() const
{
    return static_cast<YearGrid*>(widget());
}

int YearGridAccessible::columnCount() const
{
    return grid()->columns();
}

QString YearGridAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return grid()->cellName(grid()->current());
    return QAccessibleWidget::text(t);
}

int YearGridAccessible::currentIndex() const
{
    const QPoint cell = grid()->cellOf(grid()->current());
    return cell.y() * columnCount() + cell.x();
}

QAccessibleInterface* YearGridAccessible::currentCell() const
{
    return child(currentIndex());
}

GridCellAccessible* YearGridAccessible::makeCell(int row, int column) const
{
    return new YearDayAccessible(grid(), row, column);
}

QAccessibleInterface* YearGridAccessible::focusChild() const
{
    return grid()->hasFocus() ? currentCell() : nullptr;
}

QString YearGridAccessible::rowDescription(int row) const
{
    return AccessibleNames::weekdayName((grid()->startOfWeek() + row + 6) % 7 + 1);
}

// Another year renames every cell (and may change how many weeks there are); then the new
// current day is selected and, while the grid has the focus, focused.
void YearGridAccessible::currentChanged(YearGrid* grid)
{
    if (!QAccessible::isActive())
        return;
    auto* table = dynamic_cast<YearGridAccessible*>(QAccessible::queryAccessibleInterface(grid));
    if (!table)
        return;
    if (grid->year() != table->m_year) {
        table->m_year = grid->year();
        table->forgetCells();
        QAccessibleTableModelChangeEvent reset(grid, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&reset);
    }
    const int index = table->currentIndex();
    QAccessible::State selected;
    selected.selected = true;
    QAccessibleStateChangeEvent selection(grid, selected);
    selection.setChild(index);
    QAccessible::updateAccessibility(&selection);
    if (grid->hasFocus()) {
        QAccessibleEvent focus(grid, QAccessible::Focus);
        focus.setChild(index);
        QAccessible::updateAccessibility(&focus);
    }
    QAccessibleValueChangeEvent value(grid, table->text(QAccessible::Value));
    QAccessible::updateAccessibility(&value);
}
