#pragma once

#include "core/time/MonthLayout.h"

#include <QColor>
#include <QWidget>

class Clock;

// A month grid: 7 columns by 7 rows of equal cells, row 0 a fixed header of weekday names and
// rows 1 to 6 the weeks of the month of selectedDate. No scroll bars and no grid lines; the
// cells are packed from the top left corner.
//
// Cell size follows the widget's size: column width (width − 6) div 7, row height
// (height − 6) div 7, as if six one-pixel lines were drawn (161 × 84 gives 22 × 11 cells).
//
// The user selects a day by releasing a mouse button over it or by moving with the arrow keys
// (Home and End go to the first and last column of the row). The selection only ever lands on
// a day of the shown month: a click on the header or on an empty cell, and a move onto one or
// past the grid's edge, change nothing; the arrow keys never turn the month.
//
// Painting: the header is filled with fixedcolor(), the selected cell with the palette's
// Highlight, the others with cellColor(); DrawCell then draws each label.
class TCalendar : public QWidget
{
    Q_OBJECT

public:
    // The clock tells "today"; it must outlive the grid. Starts on today with UseCurrentDate on.
    explicit TCalendar(const Clock& clock, QWidget* parent = nullptr);

    double selectedDate() const { return m_layout.selectedDate(); }
    // Stores the date as given (time of day included), lays out and always emits OnChange.
    void SetSelectedDate(double date) { m_layout.SetSelectedDate(date); }
    // Whole months back (< 0) or forward; the day is clamped to the new month's length.
    void StepMonth(int delta) { m_layout.StepMonth(delta); }

    int Year() const { return m_layout.Year(); }
    int Month() const { return m_layout.Month(); }
    int Day() const { return m_layout.Day(); }
    // Ignored for days outside the shown month and for the current day; otherwise the time of
    // day is dropped, UseCurrentDate goes off and OnChange is emitted.
    void setDay(int n) { m_layout.setDay(n); }

    bool UseCurrentDate() const { return m_layout.UseCurrentDate(); }
    void setUseCurrentDate(bool on) { m_layout.setUseCurrentDate(on); }
    int StartOfWeek() const { return m_layout.StartOfWeek(); }
    void setStartOfWeek(int weekday) { m_layout.setStartOfWeek(weekday); }
    bool ReadOnly() const { return m_layout.ReadOnly(); }
    void setReadOnly(bool readOnly) { m_layout.setReadOnly(readOnly); }
    bool updating() const { return m_layout.updating(); }
    int firstCellOffset() const { return m_layout.firstCellOffset(); }

    QString CellLabel(int col, int row) const { return m_layout.CellLabel(col, row); }
    const MonthLayout& monthLayout() const { return m_layout; }
    // Whether day n of the shown month has an entry; this grid knows of none.
    virtual bool hasEntryOnDay(int) const { return false; }
    static int DaysInMonth(int year, int month) { return MonthLayout::DaysInMonth(year, month); }

    // Fill of the header row.
    QRgb fixedcolor() const { return m_fixedColor; }
    void setFixedColor(QRgb colour);
    // Fill of the day cells and of the margin right of and below the cells.
    QRgb cellColor() const { return m_cellColor; }
    void setCellColor(QRgb colour);
    // Colour of the grid's font (QFont carries none).
    QRgb fontColor() const { return m_fontColor; }
    void setFontColor(QRgb colour);

    int columnWidth() const;
    int rowHeight() const;
    QRect cellRect(int col, int row) const;

signals:
    // After every change of selectedDate by SetSelectedDate, setDay, StepMonth or the user.
    void OnChange();

protected:
    // Draws one cell's label over the fill already painted. The grid draws it in its font,
    // the selected day in the palette's HighlightedText.
    virtual void DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool selected);
    // The label centred in the cell, clipped to it. The halves are truncated toward zero, so a
    // text one pixel taller than the cell starts at its top rather than above it.
    static void drawCellText(QPainter& painter, const QRect& rect, const QString& text,
                             const QFont& font, const QColor& colour);

    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The grid's click: a selectable cell sets Day to its number.
    void selectCell(int col, int row);

    MonthLayout m_layout;
    QRgb m_fixedColor;
    QRgb m_cellColor;
    QRgb m_fontColor;
};
