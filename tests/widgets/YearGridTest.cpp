#include "widgets/YearGrid.h"
#include "common/TestClock.h"

#include <QTest>

// Where the year grid puts each day: weeks as columns starting on the calendar's weekday, and the
// keys that walk it across a year's edge.
class YearGridTest : public QObject
{
    Q_OBJECT

private slots:
    void layout_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("startOfWeek");
        QTest::addColumn<QPoint>("cell");
        QTest::addColumn<int>("columns");

        // 2024 begins on a Monday and is a leap year.
        QTest::newRow("1 January, Sunday weeks") << QDate(2024, 1, 1) << 0 << QPoint(0, 1) << 53;
        QTest::newRow("1 January, Monday weeks") << QDate(2024, 1, 1) << 1 << QPoint(0, 0) << 53;
        QTest::newRow("31 December of a leap year")
            << QDate(2024, 12, 31) << 0 << QPoint(52, 2) << 53;
        // A leap year from a Saturday to a Sunday touches 54 weeks.
        QTest::newRow("the widest year") << QDate(2000, 12, 31) << 0 << QPoint(53, 0) << 54;
        QTest::newRow("a Sunday in Monday weeks")
            << QDate(2017, 12, 31) << 1 << QPoint(52, 6) << 53;
    }

    void layout()
    {
        QFETCH(QDate, date);
        QFETCH(int, startOfWeek);
        QFETCH(QPoint, cell);
        const TestClock clock;
        YearGrid grid(clock);
        grid.setStartOfWeek(startOfWeek);
        grid.setCurrent(date);
        QCOMPARE(grid.cellOf(date), cell);
        QCOMPARE(grid.dateAt(cell.x(), cell.y()), date);
        QTEST(grid.columns(), "columns");
        QVERIFY(grid.cellRect(grid.columns() - 1, 6).right() < grid.width());
    }

    // The keys go on into the next year and back, and the year's cells follow.
    void keys_crossTheYear()
    {
        const TestClock clock;
        YearGrid grid(clock);
        grid.setRecord(DiaryRecord({{QDate(2025, 1, 1), {true, false, 412}}}));
        grid.setCurrent(QDate(2024, 12, 31));
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.current(), QDate(2025, 1, 1));
        QCOMPARE(grid.cellName(grid.current()), QStringLiteral("2025年1月1日 水曜日, 412字"));
        QTest::keyClick(&grid, Qt::Key_PageUp);
        QTest::keyClick(&grid, Qt::Key_End);
        QCOMPARE(grid.current(), QDate(2024, 12, 31));
        QCOMPARE(grid.dateAt(grid.cellOf(grid.current()).x(), 2), QDate(2024, 12, 31));
    }
};

QTEST_MAIN(YearGridTest)
#include "YearGridTest.moc"
