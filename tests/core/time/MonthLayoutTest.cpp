#include "core/time/MonthLayout.h"
#include "common/TestClock.h"
#include "core/time/DiaryDate.h"

#include <QTest>

namespace {
double at(const QDate& date, const QTime& time = QTime(0, 0))
{
    return DiaryDate::fromDateTime(QDateTime(date, time, Qt::UTC));
}

// Where a day belongs, worked out from its own weekday rather than from firstCellOffset.
QPoint expectedCell(const QDate& date, int startOfWeek)
{
    const QDate first(date.year(), date.month(), 1);
    const int firstColumn = (first.dayOfWeek() % 7 - startOfWeek + 7) % 7;
    const int index = firstColumn + date.day() - 1;
    return QPoint(index % 7, index / 7 + 1);
}

// Counts the change notifications of one layout.
struct Watched
{
    explicit Watched(const Clock& clock) : layout(clock)
    {
        layout.setOnChange([this] { ++changes; });
    }
    MonthLayout layout;
    int changes = 0;
};
} // namespace

class MonthLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void everyDaySitsUnderItsWeekday_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("startOfWeek");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QPoint>("first");
        QTest::addColumn<QPoint>("last");
        QTest::newRow("2022-01 1st on Saturday")
            << QDate(2022, 1, 10) << 0 << -5 << QPoint(6, 1) << QPoint(1, 6);
        QTest::newRow("2023-01 1st on Sunday")
            << QDate(2023, 1, 31) << 0 << 1 << QPoint(0, 1) << QPoint(2, 5);
        QTest::newRow("2023-01 weeks from Monday")
            << QDate(2023, 1, 1) << 1 << -5 << QPoint(6, 1) << QPoint(1, 6);
        QTest::newRow("2022-01 weeks from Saturday")
            << QDate(2022, 1, 1) << 6 << 1 << QPoint(0, 1) << QPoint(2, 5);
        QTest::newRow("2024-02 weeks from Wednesday")
            << QDate(2024, 2, 29) << 3 << 0 << QPoint(1, 1) << QPoint(1, 5);
        QTest::newRow("2015-02 four full weeks")
            << QDate(2015, 2, 14) << 0 << 1 << QPoint(0, 1) << QPoint(6, 4);
    }

    void everyDaySitsUnderItsWeekday()
    {
        QFETCH(QDate, date);
        QFETCH(int, startOfWeek);
        QFETCH(int, offset);
        QFETCH(QPoint, first);
        QFETCH(QPoint, last);
        TestClock clock;
        MonthLayout layout(clock);
        layout.setStartOfWeek(startOfWeek);
        layout.SetSelectedDate(at(date, QTime(9, 30)));

        QCOMPARE(layout.firstCellOffset(), offset);
        const int days = date.daysInMonth();
        QCOMPARE(layout.cellOfDay(1), first);
        QCOMPARE(layout.cellOfDay(days), last);
        QCOMPARE(layout.selectedCell(), expectedCell(date, startOfWeek));
        // Every week cell, the empty ones included, against the days' own weekdays.
        QStringList expected(7 * 6);
        for (int n = 1; n <= days; ++n) {
            const QPoint cell = expectedCell(QDate(date.year(), date.month(), n), startOfWeek);
            expected[(cell.y() - 1) * 7 + cell.x()] = QString::number(n);
        }
        for (int row = 1; row < 7; ++row) {
            for (int col = 0; col < 7; ++col)
                QCOMPARE(layout.CellLabel(col, row), expected[(row - 1) * 7 + col]);
        }
        QCOMPARE(layout.CellLabel(7, 1), QString());
        QCOMPARE(layout.CellLabel(0, 7), QString());
    }

    void header_showsJapaneseWeekdaysFromStartOfWeek_data()
    {
        QTest::addColumn<int>("startOfWeek");
        QTest::addColumn<QString>("names");
        QTest::newRow("Sunday") << 0 << "日月火水木金土";
        QTest::newRow("Monday") << 1 << "月火水木金土日";
        QTest::newRow("Saturday") << 6 << "土日月火水木金";
        QTest::newRow("out of range ignored") << 7 << "日月火水木金土";
    }

    void header_showsJapaneseWeekdaysFromStartOfWeek()
    {
        QFETCH(int, startOfWeek);
        QFETCH(QString, names);
        TestClock clock;
        MonthLayout layout(clock);
        layout.setStartOfWeek(startOfWeek);
        QString header;
        for (int col = 0; col < 7; ++col)
            header += layout.CellLabel(col, 0);
        QCOMPARE(header, names);
    }

    void daysInMonth_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("days");
        QTest::newRow("1900-02 century") << 1900 << 2 << 28;
        QTest::newRow("2000-02 fourth century") << 2000 << 2 << 29;
        QTest::newRow("2023-02") << 2023 << 2 << 28;
        QTest::newRow("2024-02 leap") << 2024 << 2 << 29;
        QTest::newRow("2024-04") << 2024 << 4 << 30;
        QTest::newRow("2024-12") << 2024 << 12 << 31;
        QTest::newRow("month 13") << 2024 << 13 << 0;
        QTest::newRow("month 0") << 2024 << 0 << 0;
    }

    void daysInMonth()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, days);
        QCOMPARE(MonthLayout::DaysInMonth(year, month), days);
        if (days == 0)
            return;
        TestClock clock;
        MonthLayout layout(clock);
        layout.SetSelectedDate(at(QDate(year, month, 1)));
        const QPoint last = layout.cellOfDay(days);
        QCOMPARE(layout.CellLabel(last.x(), last.y()), QString::number(days));
        const QPoint past = layout.cellOfDay(days + 1);
        QCOMPARE(layout.CellLabel(past.x(), past.y()), QString());
    }

    void stepMonth_clampsTheDayAndDropsTheTime_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QDate>("to");
        QTest::newRow("back into a leap February")
            << QDate(2024, 3, 31) << -1 << QDate(2024, 2, 29);
        QTest::newRow("on into February") << QDate(2023, 1, 31) << 1 << QDate(2023, 2, 28);
        QTest::newRow("over the new year") << QDate(2023, 12, 15) << 1 << QDate(2024, 1, 15);
        QTest::newRow("back over the new year") << QDate(2024, 1, 15) << -1 << QDate(2023, 12, 15);
        QTest::newRow("two months on") << QDate(2024, 1, 31) << 2 << QDate(2024, 3, 31);
        QTest::newRow("thirteen back") << QDate(2024, 3, 31) << -13 << QDate(2023, 2, 28);
        QTest::newRow("none") << QDate(2024, 3, 31) << 0 << QDate(2024, 3, 31);
    }

    void stepMonth_clampsTheDayAndDropsTheTime()
    {
        QFETCH(QDate, from);
        QFETCH(int, delta);
        QFETCH(QDate, to);
        TestClock clock;
        Watched w(clock);
        w.layout.SetSelectedDate(at(from, QTime(18, 0)));
        w.changes = 0;
        w.layout.StepMonth(delta);
        QCOMPARE(w.layout.selectedDate(), at(to));
        QCOMPARE(w.changes, 1);
        QCOMPARE(w.layout.selectedCell(), expectedCell(to, 0));
    }

    void setSelectedDate_keepsTheTimeAndNotifiesEvenForTheSameDate()
    {
        TestClock clock;
        Watched w(clock);
        const double evening = at(QDate(2022, 1, 10), QTime(21, 0));
        w.layout.SetSelectedDate(evening);
        w.layout.SetSelectedDate(evening);
        QCOMPARE(w.changes, 2);
        QCOMPARE(w.layout.selectedDate(), evening);
        QCOMPARE(w.layout.firstCellOffset(), -5);
        QVERIFY(w.layout.UseCurrentDate());
    }

    void setDay_ignoresDaysOutsideTheMonthAndTheCurrentDay_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("taken");
        QTest::newRow("zero") << 0 << false;
        QTest::newRow("negative") << -3 << false;
        QTest::newRow("past the month") << 30 << false;
        QTest::newRow("current day") << 10 << false;
        QTest::newRow("first") << 1 << true;
        QTest::newRow("leap day") << 29 << true;
    }

    void setDay_ignoresDaysOutsideTheMonthAndTheCurrentDay()
    {
        QFETCH(int, day);
        QFETCH(bool, taken);
        TestClock clock;
        Watched w(clock);
        const double before = at(QDate(2024, 2, 10), QTime(18, 0));
        w.layout.SetSelectedDate(before);
        w.changes = 0;
        w.layout.setDay(day);
        QCOMPARE(w.changes, taken ? 1 : 0);
        QCOMPARE(w.layout.UseCurrentDate(), !taken);
        QCOMPARE(w.layout.selectedDate(), taken ? at(QDate(2024, 2, day)) : before);
        QCOMPARE(w.layout.selectedCell(), w.layout.cellOfDay(taken ? day : 10));
    }

    void useCurrentDate_selectsTodayWithoutNotifying()
    {
        TestClock clock(QDateTime(QDate(2022, 1, 20), QTime(23, 59)));
        Watched w(clock);
        QCOMPARE(w.layout.selectedDate(), at(QDate(2022, 1, 20)));
        QVERIFY(w.layout.UseCurrentDate());
        w.layout.setDay(3);
        QVERIFY(!w.layout.UseCurrentDate());
        w.layout.SetSelectedDate(at(QDate(2023, 1, 5)));
        clock.setLocal(QDateTime(QDate(2022, 1, 21), QTime(0, 1)));
        w.changes = 0;
        w.layout.setUseCurrentDate(true);
        QCOMPARE(w.layout.selectedDate(), at(QDate(2022, 1, 21)));
        QCOMPARE(w.layout.firstCellOffset(), -5);
        QCOMPARE(w.changes, 0);
    }

    void canSelect_onlyDaysAndNotReadOnlyExceptWhileLayingOut()
    {
        TestClock clock;
        MonthLayout layout(clock);
        layout.SetSelectedDate(at(QDate(2023, 1, 15)));
        QVERIFY(layout.canSelect(0, 1));
        QVERIFY(!layout.canSelect(0, 0));
        QVERIFY(!layout.canSelect(3, 6));
        QVERIFY(!layout.canSelect(-1, 1));
        layout.setReadOnly(true);
        QVERIFY(!layout.canSelect(0, 1));
        QVERIFY(!layout.updating());
        bool duringLayout = false;
        layout.setOnLayout([&] { duringLayout = layout.updating() && layout.canSelect(0, 1); });
        layout.SetSelectedDate(at(QDate(2023, 1, 16)));
        QVERIFY(duringLayout);
        QVERIFY(!layout.updating());
    }

    void isToday_followsTheClockDateOnly()
    {
        TestClock clock(QDateTime(QDate(2024, 1, 5), QTime(23, 59)));
        MonthLayout layout(clock);
        QVERIFY(layout.isToday(5));
        QVERIFY(!layout.isToday(4));
        QVERIFY(!layout.isToday(6));
        clock.setLocal(QDateTime(QDate(2024, 1, 6), QTime(0, 0)));
        QVERIFY(layout.isToday(6));
        layout.StepMonth(1);
        QVERIFY(!layout.isToday(6));
    }
};

QTEST_GUILESS_MAIN(MonthLayoutTest)
#include "MonthLayoutTest.moc"
