#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

// What was written on one day.
struct RecordDay
{
    bool written = false;
    // The entry is there but could not be read: written, with no characters.
    bool unreadable = false;
    qint64 characters = 0;
};

// The diary's record: how many days were written, how many characters, and how regularly. A
// value made from the counts of each day (see RecordCounter); nothing here reads the disk.
class DiaryRecord
{
public:
    using Days = QMap<QDate, RecordDay>;

    struct Totals
    {
        int days = 0;
        qint64 characters = 0;
        int unreadable = 0;
    };
    // Consecutive days with an entry; no days and invalid dates when there is none.
    struct Streak
    {
        int days = 0;
        QDate first;
        QDate last;
    };

    DiaryRecord() = default;
    // days: the written days only.
    explicit DiaryRecord(Days days) : m_days(std::move(days)) {}

    const Days& days() const { return m_days; }
    RecordDay day(const QDate& date) const { return m_days.value(date); }
    Totals total() const { return totals(m_days.cbegin(), m_days.cend()); }
    Totals year(int year) const;
    // The years with an entry, newest first.
    QList<int> years() const;
    // Every day of a year, 1 January first, in one pass over that year's entries.
    QList<RecordDay> daysOf(int year) const;
    // How dark each day of daysOf() is drawn: 0 not written, 1 to 4 by how many of the quarter
    // marks of that year's written days (fewest characters to most) it writes more than.
    static QList<int> levels(const QList<RecordDay>& days);

    Streak longest() const;
    // The streak that reaches today; while today is not written yet, the one that ends yesterday
    // still runs.
    Streak current(const QDate& today) const;

    // The record as lines for scripts: "name<TAB>value…", numbers without separators, dates
    // yyyy-MM-dd.
    QString text(const QDate& today) const;

    // Characters as the user sees them: line breaks are not counted, and every other character
    // counts one, full-width or half-width alike (code page 932 spends one byte on half-width
    // kana and two on the rest).
    static qint64 characters(QStringView text);

private:
    static Totals totals(Days::const_iterator from, Days::const_iterator to);

    Days m_days;
};
