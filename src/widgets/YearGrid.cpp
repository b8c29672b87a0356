#include "widgets/YearGrid.h"

#include "core/time/Clock.h"
#include "core/time/DiaryDate.h"
#include "widgets/AccessibleNames.h"
#include "widgets/YearGridAccessible.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>

namespace {
QColor mix(const QColor& from, const QColor& to, double share)
{
    const auto part = [&](int a, int b) { return int(std::lrint(a + (b - a) * share)); };
    return QColor(part(from.red(), to.red()), part(from.green(), to.green()),
                  part(from.blue(), to.blue()));
}
} // namespace

YearGrid::YearGrid(const Clock& clock, QWidget* parent)
    : QWidget(parent), m_clock(clock), m_current(today())
{
    YearGridAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setColours(qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(0, 0, 0));
    setFixedSize(LabelWidth + MaxColumns * Pitch, HeaderHeight + 7 * Pitch);
    layOut();
}

void YearGrid::setColours(QRgb face, QRgb ink, QRgb mark)
{
    m_face = QColor(face);
    m_mark = QColor(mark);
    // Level 0 is the outline of a day not written; a short day is already clearly filled.
    const double shares[5] = {0.3, 0.35, 0.55, 0.75, 1.0};
    for (int i = 0; i < 5; ++i)
        m_shades[i] = mix(m_face, QColor(ink), shares[i]);
    update();
}

void YearGrid::setStartOfWeek(int weekday)
{
    m_startOfWeek = weekday;
    update();
}

void YearGrid::setRecord(const DiaryRecord& record)
{
    m_record = record;
    layOut();
}

QDate YearGrid::today() const
{
    return DiaryDate::toDate(DiaryDate::fromDateTime(m_clock.localNow()));
}

void YearGrid::setCurrent(const QDate& date)
{
    if (!date.isValid() || date == m_current)
        return;
    const bool newYear = date.year() != m_current.year();
    m_current = date;
    if (newYear)
        layOut();
    else
        update();
    YearGridAccessible::currentChanged(this);
    emit currentChanged(m_current);
}

void YearGrid::layOut()
{
    m_days = m_record.daysOf(year());
    m_levels = DiaryRecord::levels(m_days);
    update();
}

// Column 0 holds 1 January in the row of its weekday.
int YearGrid::firstOffset() const
{
    return (QDate(year(), 1, 1).dayOfWeek() % 7 - m_startOfWeek + 7) % 7;
}

int YearGrid::columns() const
{
    return (firstOffset() + int(m_days.size()) + 6) / 7;
}

QDate YearGrid::dateAt(int column, int row) const
{
    if (row < 0 || row > 6 || column < 0)
        return {};
    const int index = column * 7 + row - firstOffset();
    return index >= 0 && index < m_days.size() ? QDate(year(), 1, 1).addDays(index) : QDate();
}

QPoint YearGrid::cellOf(const QDate& date) const
{
    const int index = date.dayOfYear() - 1 + firstOffset();
    return QPoint(index / 7, index % 7);
}

QRect YearGrid::cellRect(int column, int row) const
{
    return QRect(LabelWidth + column * Pitch + 1, HeaderHeight + row * Pitch + 1, CellSize,
                 CellSize);
}

QDate YearGrid::dateAtPoint(const QPoint& point) const
{
    if (point.x() < LabelWidth || point.y() < HeaderHeight)
        return {};
    return dateAt((point.x() - LabelWidth) / Pitch, (point.y() - HeaderHeight) / Pitch);
}

QString YearGrid::cellName(const QDate& date) const
{
    const RecordDay day = m_record.day(date);
    const QString name = AccessibleNames::dayName(date);
    return day.written ? QStringLiteral("%1, %2字").arg(name).arg(day.characters) : name;
}

QString YearGrid::describe(const QDate& date) const
{
    QStringList parts{cellName(date)};
    if (m_record.day(date).unreadable)
        parts << QStringLiteral("読めません");
    if (date == today())
        parts << QStringLiteral("今日");
    if (m_titleOf && m_record.day(date).written)
        parts << m_titleOf(date);
    parts.removeAll(QString());
    return parts.join(QStringLiteral("、"));
}

void YearGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_face);
    painter.setPen(m_shades[4]);
    QFont small = font();
    small.setPixelSize(9);
    painter.setFont(small);
    const QString weekdays = QStringLiteral("日月火水木金土");
    for (int row = 1; row < 7; row += 2)
        painter.drawText(QRect(0, HeaderHeight + row * Pitch - 1, LabelWidth, Pitch),
                         Qt::AlignLeft | Qt::AlignVCenter, weekdays.at((m_startOfWeek + row) % 7));
    for (int month = 1; month <= 12; ++month) {
        const QPoint first = cellOf(QDate(year(), month, 1));
        // A month that starts late in its week is named over its first whole week.
        const int column = first.y() == 0 ? first.x() : first.x() + 1;
        painter.drawText(QPoint(LabelWidth + column * Pitch, HeaderHeight - 2),
                         QStringLiteral("%1月").arg(month));
    }

    const QDate first(year(), 1, 1);
    const QDate now = today();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (qsizetype i = 0; i < m_days.size(); ++i) {
        const int index = int(i) + firstOffset();
        const QRect cell = cellRect(index / 7, index % 7);
        if (m_levels[i] == 0) {
            painter.setPen(m_shades[0]);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
        } else {
            painter.fillRect(cell, m_shades[m_levels[i]]);
        }
        const QDate date = first.addDays(i);
        if (date == now) {
            painter.setPen(QPen(m_mark, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(cell.adjusted(1, 1, -1, -1));
        }
        if (date == m_current && hasFocus()) {
            painter.setPen(m_mark);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(cell.adjusted(-1, -1, 0, 0));
        }
    }
}

bool YearGrid::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QDate date = dateAtPoint(help->pos());
        if (date.isValid())
            QToolTip::showText(help->globalPos(), describe(date), this,
                               cellRect(cellOf(date).x(), cellOf(date).y()));
        else
            QToolTip::hideText();
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        update();
    return QWidget::event(event);
}

void YearGrid::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        setCurrent(m_current.addDays(-1));
        break;
    case Qt::Key_Down:
        setCurrent(m_current.addDays(1));
        break;
    case Qt::Key_Left:
        setCurrent(m_current.addDays(-7));
        break;
    case Qt::Key_Right:
        setCurrent(m_current.addDays(7));
        break;
    case Qt::Key_PageUp:
        setCurrent(m_current.addYears(-1));
        break;
    case Qt::Key_PageDown:
        setCurrent(m_current.addYears(1));
        break;
    case Qt::Key_Home:
        setCurrent(QDate(year(), 1, 1));
        break;
    case Qt::Key_End:
        setCurrent(QDate(year(), 12, 31));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A held key chooses once.
        if (!event->isAutoRepeat())
            emit dayChosen(m_current);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void YearGrid::mousePressEvent(QMouseEvent* event)
{
    const QDate date = dateAtPoint(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !date.isValid())
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    setCurrent(date);
    emit dayChosen(date);
}
