#include "widgets/Calendar.h"

#include "widgets/CalendarAccessible.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

TCalendar::TCalendar(const Clock& clock, QWidget* parent)
    : QWidget(parent), m_layout(clock), m_fixedColor(palette().color(QPalette::Button).rgb()),
      m_cellColor(palette().color(QPalette::Base).rgb()),
      m_fontColor(palette().color(QPalette::Text).rgb())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    CalendarAccessible::install();
    m_layout.setOnLayout([this] { update(); });
    m_layout.setOnChange([this] {
        emit OnChange();
        CalendarAccessible::selectionChanged(this);
    });
}

void TCalendar::setFixedColor(QRgb colour)
{
    m_fixedColor = colour;
    update();
}

void TCalendar::setCellColor(QRgb colour)
{
    m_cellColor = colour;
    update();
}

void TCalendar::setFontColor(QRgb colour)
{
    m_fontColor = colour;
    update();
}

// One pixel of grid line is counted between cells even though none is drawn.
int TCalendar::columnWidth() const
{
    return std::max(0, (width() - 6) / MonthLayout::Columns);
}

int TCalendar::rowHeight() const
{
    return std::max(0, (height() - 6) / MonthLayout::Rows);
}

QRect TCalendar::cellRect(int col, int row) const
{
    return QRect(col * columnWidth(), row * rowHeight(), columnWidth(), rowHeight());
}

void TCalendar::DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool selected)
{
    const QColor colour = selected ? palette().color(QPalette::HighlightedText) : m_fontColor;
    drawCellText(painter, rect, CellLabel(col, row), font(), colour);
}

void TCalendar::drawCellText(QPainter& painter, const QRect& rect, const QString& text,
                             const QFont& font, const QColor& colour)
{
    if (text.isEmpty())
        return;
    const QFontMetrics metrics(font);
    const int x = rect.left() + (rect.width() - metrics.horizontalAdvance(text)) / 2;
    const int y = rect.top() + (rect.height() - metrics.height()) / 2;
    painter.save();
    painter.setClipRect(rect);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(x, y + metrics.ascent(), text);
    painter.restore();
}

void TCalendar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(m_cellColor));
    const QPoint selected = m_layout.selectedCell();
    for (int row = 0; row < MonthLayout::Rows; ++row) {
        for (int col = 0; col < MonthLayout::Columns; ++col) {
            const QRect cell = cellRect(col, row);
            const bool isSelected = QPoint(col, row) == selected;
            QColor fill(row == 0 ? m_fixedColor : m_cellColor);
            if (isSelected)
                fill = palette().color(QPalette::Highlight);
            painter.fillRect(cell, fill);
            DrawCell(painter, col, row, cell, isSelected);
        }
    }
    if (hasFocus()) {
        painter.setPen(QPen(QColor(m_fontColor), 1, Qt::DotLine));
        painter.drawRect(cellRect(selected.x(), selected.y()).adjusted(0, 0, -1, -1));
    }
}

void TCalendar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || columnWidth() == 0 || rowHeight() == 0)
        return;
    const QPoint at = event->position().toPoint();
    if (at.x() < 0 || at.y() < 0)
        return;
    selectCell(at.x() / columnWidth(), at.y() / rowHeight());
}

void TCalendar::keyPressEvent(QKeyEvent* event)
{
    QPoint to = m_layout.selectedCell();
    switch (event->key()) {
    case Qt::Key_Left:
        to.rx() -= 1;
        break;
    case Qt::Key_Right:
        to.rx() += 1;
        break;
    case Qt::Key_Up:
        to.ry() -= 1;
        break;
    case Qt::Key_Down:
        to.ry() += 1;
        break;
    case Qt::Key_Home:
        to.setX(0);
        break;
    case Qt::Key_End:
        to.setX(MonthLayout::Columns - 1);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (!ReadOnly())
            StepMonth(event->key() == Qt::Key_PageUp ? -1 : 1);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    selectCell(to.x(), to.y());
}

void TCalendar::selectCell(int col, int row)
{
    if (m_layout.canSelect(col, row))
        m_layout.setDay(m_layout.dayAt(col, row));
}
