#include "widgets/CalendarR.h"

TCalendarR::TCalendarR(const Clock& clock, QWidget* parent)
    : TCalendar(clock, parent), boldDayFont{font(), fontColor()}
{
    boldDayFont.font.setBold(true);
}

// Today is read from the clock at every repaint, so the bold day follows midnight.
void TCalendarR::DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool)
{
    QFont cellFont = font();
    QColor colour(fontColor());
    const int n = monthLayout().dayAt(col, row);
    if (n > 0) {
        if (monthLayout().isToday(n)) {
            cellFont = boldDayFont.font;
            colour = QColor(todayColor);
        }
        if (hasEntryOnDay(n)) {
            cellFont = boldDayFont.font;
            colour = QColor(boldDayFont.color);
        }
    }
    drawCellText(painter, rect, CellLabel(col, row), cellFont, colour);
}

// Painting cannot report an error; a day whose entry cannot be checked is drawn plain.
bool TCalendarR::hasEntry(double date) const
{
    if (!hasEntryTest)
        return false;
    try {
        return hasEntryTest(date);
    } catch (...) {
        return false;
    }
}
