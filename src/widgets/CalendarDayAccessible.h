#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class TCalendar;

// One cell of the month grid's table (see CalendarAccessible): the day it shows in full, or
// nothing outside the month.
class CalendarDayAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    CalendarDayAccessible(TCalendar* calendar, int row, int column);

    // Day of the shown month in this cell, 0 for none.
    int day() const;

    bool isValid() const override { return !m_calendar.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<TCalendar> m_calendar;
    int m_row;
    int m_column;
};
