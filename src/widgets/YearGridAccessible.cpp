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

YearGridAccessible::YearGridAccessible(YearGrid* grid)
    : QAccessibleWidget(grid, QAccessible::Table), m_year(grid->year())
{
}

YearGridAccessible::~YearGridAccessible()
{
    for (const QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
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

QAccessibleInterface* YearGridAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto found = m_cells.constFind(index); found != m_cells.cend())
        return QAccessible::accessibleInterface(*found);
    auto* cell = new YearDayAccessible(grid(), index / columnCount(), index % columnCount());
    m_cells.insert(index, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

int YearGridAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child)
            return it.key();
    }
    return -1;
}

QAccessibleInterface* YearGridAccessible::focusChild() const
{
    return grid()->hasFocus() ? currentCell() : nullptr;
}

void* YearGridAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessibleInterface* YearGridAccessible::cellAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
    return child(row * columnCount() + column);
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
        for (const QAccessible::Id id : std::as_const(table->m_cells))
            QAccessible::deleteAccessibleInterface(id);
        table->m_cells.clear();
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
