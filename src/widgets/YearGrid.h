#pragma once

#include "core/tasks/DiaryRecord.h"

#include <QDate>
#include <QWidget>
#include <functional>

class Clock;

// A year of days as a picture: one column per week, one row per weekday (row 0 the weekday
// StartOfWeek, 0 Sunday … 6 Saturday), months named above their first week. Each day is shaded
// by how much was written on it (DiaryRecord::levels); a day not written is only outlined, and
// today is framed.
//
// One day is current: the arrow keys move it (up and down a day, left and right a week), Page Up
// and Page Down a year, Home and End to the year's ends; a move past the year's edge goes into
// the next. Enter or a click chooses a day. Hovering a day shows what describe() says of it.
class YearGrid : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Pitch = 10;
    static constexpr int CellSize = 8;
    static constexpr int LabelWidth = 14;
    static constexpr int HeaderHeight = 12;
    static constexpr int MaxColumns = 54;

    // The clock tells today; it must outlive the grid.
    explicit YearGrid(const Clock& clock, QWidget* parent = nullptr);

    // face: the background; ink: the darkest shade, which the others lighten towards face;
    // mark: today's frame and the current day's ring.
    void setColours(QRgb face, QRgb ink, QRgb mark);
    int startOfWeek() const { return m_startOfWeek; }
    void setStartOfWeek(int weekday);
    void setRecord(const DiaryRecord& record);
    // The title shown beside a day's count.
    void setTitleOf(std::function<QString(const QDate&)> titleOf)
    {
        m_titleOf = std::move(titleOf);
    }

    QDate current() const { return m_current; }
    void setCurrent(const QDate& date);
    int year() const { return m_current.year(); }
    const DiaryRecord& record() const { return m_record; }
    QDate today() const;

    // The year's weeks, and the day in a cell (invalid outside the year).
    int columns() const;
    QDate dateAt(int column, int row) const;
    QPoint cellOf(const QDate& date) const;
    QRect cellRect(int column, int row) const;

    // "2024年3月15日 金曜日, 412字" for a written day, the date alone for another.
    QString cellName(const QDate& date) const;
    // The name, then what it has more: unreadable, today, the title.
    QString describe(const QDate& date) const;

signals:
    void currentChanged(const QDate& date);
    void dayChosen(const QDate& date);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Takes the current year's days and shades from the record: one pass over them.
    void layOut();
    int firstOffset() const;
    QDate dateAtPoint(const QPoint& point) const;

    const Clock& m_clock;
    DiaryRecord m_record;
    std::function<QString(const QDate&)> m_titleOf;
    QDate m_current;
    int m_startOfWeek = 0;
    QList<RecordDay> m_days;
    QList<int> m_levels;
    QColor m_face;
    QColor m_mark;
    QColor m_shades[5];
};
