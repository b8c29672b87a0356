#include "core/tasks/DiaryRecord.h"

#include <algorithm>

DiaryRecord::Totals DiaryRecord::totals(Days::const_iterator from, Days::const_iterator to)
{
    Totals t;
    for (auto it = from; it != to; ++it) {
        ++t.days;
        t.characters += it->characters;
        t.unreadable += it->unreadable ? 1 : 0;
    }
    return t;
}

DiaryRecord::Totals DiaryRecord::year(int year) const
{
    return totals(m_days.lowerBound(QDate(year, 1, 1)), m_days.lowerBound(QDate(year + 1, 1, 1)));
}

QList<int> DiaryRecord::years() const
{
    QList<int> years;
    for (auto it = m_days.cbegin(); it != m_days.cend(); ++it) {
        if (years.isEmpty() || years.constFirst() != it.key().year())
            years.prepend(it.key().year());
    }
    return years;
}

QList<RecordDay> DiaryRecord::daysOf(int year) const
{
    const QDate first(year, 1, 1);
    QList<RecordDay> days(first.daysInYear());
    for (auto it = m_days.lowerBound(first); it != m_days.cend() && it.key().year() == year; ++it)
        days[first.daysTo(it.key())] = *it;
    return days;
}

QList<int> DiaryRecord::levels(const QList<RecordDay>& days)
{
    QList<qint64> written;
    for (const RecordDay& day : days) {
        if (day.written)
            written.append(day.characters);
    }
    std::sort(written.begin(), written.end());
    QList<int> levels(days.size(), 0);
    if (written.isEmpty())
        return levels;
    // A day is one step darker for each quarter mark of the year it writes more than.
    const qsizetype last = written.size() - 1;
    const qint64 marks[3] = {written[last / 4], written[last / 2], written[last * 3 / 4]};
    for (qsizetype i = 0; i < days.size(); ++i) {
        if (days[i].written)
            levels[i] = 1 + int(std::count_if(std::begin(marks), std::end(marks), [&](qint64 mark) {
                            return days[i].characters > mark;
                        }));
    }
    return levels;
}

DiaryRecord::Streak DiaryRecord::longest() const
{
    Streak best;
    Streak run;
    for (auto it = m_days.cbegin(); it != m_days.cend(); ++it) {
        if (run.days > 0 && run.last.addDays(1) == it.key()) {
            ++run.days;
            run.last = it.key();
        } else {
            run = {1, it.key(), it.key()};
        }
        // Of two streaks as long, the later.
        if (run.days >= best.days)
            best = run;
    }
    return best;
}

DiaryRecord::Streak DiaryRecord::current(const QDate& today) const
{
    QDate last = m_days.contains(today) ? today : today.addDays(-1);
    if (!m_days.contains(last))
        return {};
    Streak run{0, last, last};
    for (QDate day = last; m_days.contains(day); day = day.addDays(-1)) {
        ++run.days;
        run.first = day;
    }
    return run;
}

QString DiaryRecord::text(const QDate& today) const
{
    const auto date = [](const QDate& d) { return d.toString(Qt::ISODate); };
    const auto streak = [&](const QString& name, const Streak& s) {
        return s.days == 0 ? QStringLiteral("%1\t0\n").arg(name)
                           : QStringLiteral("%1\t%2\t%3\t%4\n")
                                 .arg(name)
                                 .arg(s.days)
                                 .arg(date(s.first), date(s.last));
    };
    const Totals all = total();
    QString out = QStringLiteral("days\t%1\ncharacters\t%2\n").arg(all.days).arg(all.characters);
    out += streak(QStringLiteral("current_streak"), current(today));
    out += streak(QStringLiteral("longest_streak"), longest());
    QStringList unreadable;
    for (auto it = m_days.cbegin(); it != m_days.cend(); ++it) {
        if (it->unreadable)
            unreadable << date(it.key());
    }
    out += QStringLiteral("unreadable\t%1").arg(unreadable.size());
    for (const QString& day : std::as_const(unreadable))
        out += QLatin1Char('\t') + day;
    out += QLatin1Char('\n');
    for (const int y : years()) {
        const Totals t = year(y);
        out += QStringLiteral("year\t%1\t%2\t%3\n").arg(y).arg(t.days).arg(t.characters);
    }
    return out;
}

qint64 DiaryRecord::characters(QStringView text)
{
    qint64 n = 0;
    for (const QChar c : text) {
        // A character beyond the BMP is two code units and one character.
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r') && !c.isLowSurrogate())
            ++n;
    }
    return n;
}
