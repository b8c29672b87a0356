#pragma once

#include "widgets/Calendar.h"

#include <QFont>
#include <functional>

// The diary's month grid: days that have an entry are drawn bold in boldDayFont's colour and
// today bold in todayColor (a day that is both shows the entry's colour). Every other label is
// drawn in the grid's font and font colour, the selected one included: the highlight changes
// only the cell's fill.
class TCalendarR : public TCalendar
{
    Q_OBJECT

public:
    // A font and the colour it draws in.
    struct DayFont
    {
        QFont font;
        QRgb color;
    };

    // boldDayFont starts as a bold copy of the grid's font and font colour as they are now
    // (inherited from the parent if it has set its own); later changes of the grid's font or
    // font colour are not copied into it.
    explicit TCalendarR(const Clock& clock, QWidget* parent = nullptr);

    // The three below are read at every repaint; call update() after changing them while the
    // grid is shown.
    DayFont boldDayFont;
    // Whether the day at this date (midnight) has an entry; none means no day has one. It is
    // asked once per day cell and repaint; a test that throws counts as no entry.
    std::function<bool(double date)> hasEntryTest;
    QRgb todayColor = qRgb(0, 0, 0);

    bool hasEntryOnDay(int n) const override { return hasEntry(monthLayout().dateOfDay(n)); }

protected:
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool selected) override;

private:
    bool hasEntry(double date) const;
};
