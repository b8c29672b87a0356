#include "widgets/CalendarAccessible.h"

#include "widgets/AccessibleNames.h"
#include "widgets/Calendar.h"
#include "widgets/CalendarDayAccessible.h"

namespace {
QAccessibleInterface* makeCalendarAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("TCalendar"))
        return new CalendarAccessible(static_cast<TCalendar*>(object));
    return nullptr;
}
} // namespace

CalendarAccessible::CalendarAccessible(TCalendar* calendar) : GridAccessible(calendar)
{
    m_selected = selectedIndex();
    m_shownMonth = shownMonth();
}

void CalendarAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeCalendarAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

TCalendar* CalendarAccessible::calendar() const
{
    return static_cast<TCalendar*>(widget());
}

int CalendarAccessible::shownMonth() const
{
    return calendar()->Year() * 12 + calendar()->Month();
}

int CalendarAccessible::selectedIndex() const
{
    const QPoint cell = calendar()->monthLayout().selectedCell();
    return indexOf(cell.y() - 1, cell.x());
}

QString CalendarAccessible::text(QAccessible::Text t) const
{
    const QDate selected(calendar()->Year(), calendar()->Month(), calendar()->Day());
    switch (t) {
    case QAccessible::Value:
        return AccessibleNames::dayName(selected);
    case QAccessible::Description:
        return AccessibleNames::withDetail(AccessibleNames::dayName(selected),
                                           AccessibleNames::plain(calendar()->toolTip()));
    default:
        return QAccessibleWidget::text(t);
    }
}

GridCellAccessible* CalendarAccessible::makeCell(int row, int column) const
{
    return new CalendarDayAccessible(calendar(), row, column);
}

QAccessibleInterface* CalendarAccessible::childAt(int x, int y) const
{
    const QPoint at = calendar()->mapFromGlobal(QPoint(x, y));
    const int column = calendar()->columnWidth() ? at.x() / calendar()->columnWidth() : -1;
    const int row = calendar()->rowHeight() ? at.y() / calendar()->rowHeight() - 1 : -1;
    if (at.x() < 0 || at.y() < 0 || column >= 7 || row < 0 || row >= Weeks)
        return nullptr;
    return cellAt(row, column);
}

QAccessibleInterface* CalendarAccessible::focusChild() const
{
    return calendar()->hasFocus() ? child(selectedIndex()) : nullptr;
}

QList<QAccessibleInterface*> CalendarAccessible::selectedCells() const
{
    return {child(selectedIndex())};
}

// Columns follow the first day of the week.
QString CalendarAccessible::columnDescription(int column) const
{
    if (column < 0 || column >= 7)
        return QString();
    return AccessibleNames::weekdayName((calendar()->StartOfWeek() + column + 6) % 7 + 1);
}

void CalendarAccessible::selectionChanged(TCalendar* calendar)
{
    if (!QAccessible::isActive())
        return;
    if (auto* table =
            dynamic_cast<CalendarAccessible*>(QAccessible::queryAccessibleInterface(calendar)))
        table->announce();
}

void CalendarAccessible::announce()
{
    const auto send = [this](QAccessible::Event type, int child) {
        QAccessibleEvent event(calendar(), type);
        event.setChild(child);
        QAccessible::updateAccessibility(&event);
    };
    // Another month renames every cell.
    const bool monthTurned = shownMonth() != m_shownMonth;
    if (monthTurned) {
        m_shownMonth = shownMonth();
        for (int i = 0; i < childCount(); ++i) {
            send(QAccessible::NameChanged, i);
            send(QAccessible::DescriptionChanged, i);
        }
    }
    QAccessible::State selected;
    selected.selected = true;
    for (const int cell : {m_selected, selectedIndex()}) {
        QAccessibleStateChangeEvent event(calendar(), selected);
        event.setChild(cell);
        QAccessible::updateAccessibility(&event);
    }
    // A reader says a focused cell when the focus moves to another: the same cell of another
    // month is reached through the table.
    const bool sameCell = m_selected == selectedIndex();
    m_selected = selectedIndex();
    if (calendar()->hasFocus()) {
        if (monthTurned && sameCell)
            send(QAccessible::Focus, -1);
        send(QAccessible::Focus, m_selected);
    }
    QAccessibleValueChangeEvent value(calendar(), text(QAccessible::Value));
    QAccessible::updateAccessibility(&value);
    QAccessibleEvent description(calendar(), QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&description);
}
