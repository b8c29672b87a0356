#pragma once

#include "widgets/GridCellAccessible.h"

#include <QPointer>

class YearGrid;

// One cell of the year grid's table (see YearGridAccessible).
class YearDayAccessible : public GridCellAccessible
{
public:
    YearDayAccessible(YearGrid* grid, int row, int column);

    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::State state() const override;

    bool isSelected() const override;

private:
    QPointer<YearGrid> m_grid;
};
