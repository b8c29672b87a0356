#include "widgets/CalendarAccessible.h"
#include "common/TestClock.h"
#include "core/time/DiaryDate.h"
#include "widgets/CalendarR.h"

#include <QTest>

namespace {
double at(const QDate& date)
{
    return DiaryDate::fromDateTime(QDateTime(date, QTime(0, 0), Qt::UTC));
}

// January 2024 (the 1st a Monday), today the 5th, an entry on the 10th.
struct Grid
{
    explicit Grid(const QDate& selected = QDate(2024, 1, 12))
    {
        calendar = new TCalendarR(clock, &window);
        calendar->setGeometry(0, 0, 161, 84);
        calendar->hasEntryTest = [](double date) { return date == at(QDate(2024, 1, 10)); };
        calendar->SetSelectedDate(at(selected));
        table = QAccessible::queryAccessibleInterface(calendar);
    }

    QAccessibleInterface* cell(int row, int column) const
    {
        return table->tableInterface()->cellAt(row, column);
    }

    TestClock clock{QDateTime(QDate(2024, 1, 5), QTime(12, 0))};
    QWidget window;
    TCalendarR* calendar;
    QAccessibleInterface* table;
};

} // namespace

class CalendarAccessibleTest : public QObject
{
    Q_OBJECT

private slots:
    // A cell keeps its identity on the bus; another month renames it.
    void grid_isATableOfSixWeeks()
    {
        Grid g;
        QAccessibleInterface* second = g.cell(0, 1);
        g.calendar->StepMonth(1);
        QCOMPARE(g.cell(0, 1), second);
        QCOMPARE(second->text(QAccessible::Name), "");
        QCOMPARE(g.cell(0, 4)->text(QAccessible::Name), "2024年2月1日 木曜日");
        QCOMPARE(g.table->role(), QAccessible::Table);
        QCOMPARE(g.table->tableInterface()->rowCount(), 6);
        QCOMPARE(g.table->tableInterface()->columnCount(), 7);
        QCOMPARE(g.table->childCount(), 42);
        QCOMPARE(g.table->indexOfChild(g.cell(2, 3)), 17);
        QCOMPARE(g.table->child(17), g.cell(2, 3));
    }

    void cells_readTheDaysOfTheShownMonth_data()
    {
        QTest::addColumn<int>("startOfWeek");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("weekday");

        QTest::newRow("before the 1st") << 0 << 0 << 0 << ""
                                        << ""
                                        << "日曜日";
        QTest::newRow("the 1st") << 0 << 0 << 1 << "2024年1月1日 月曜日"
                                 << ""
                                 << "月曜日";
        QTest::newRow("today") << 0 << 0 << 5 << "2024年1月5日 金曜日"
                               << "今日"
                               << "金曜日";
        QTest::newRow("entry") << 0 << 1 << 3 << "2024年1月10日 水曜日"
                               << "日記あり"
                               << "水曜日";
        QTest::newRow("last day") << 0 << 4 << 3 << "2024年1月31日 水曜日"
                                  << ""
                                  << "水曜日";
        QTest::newRow("empty week") << 0 << 5 << 6 << ""
                                    << ""
                                    << "土曜日";
        QTest::newRow("weeks from Monday") << 1 << 0 << 0 << "2024年1月1日 月曜日"
                                           << ""
                                           << "月曜日";
        QTest::newRow("Sunday last") << 1 << 0 << 6 << "2024年1月7日 日曜日"
                                     << ""
                                     << "日曜日";
    }

    void cells_readTheDaysOfTheShownMonth()
    {
        QFETCH(int, startOfWeek);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, name);
        Grid g;
        g.calendar->setStartOfWeek(startOfWeek);
        QAccessibleInterface* cell = g.cell(row, column);
        QCOMPARE(cell->role(), QAccessible::Cell);
        QCOMPARE(cell->text(QAccessible::Name), name);
        QTEST(cell->text(QAccessible::Description), "description");
        QCOMPARE(cell->state().selectable, !name.isEmpty());
        QTEST(g.table->tableInterface()->columnDescription(column), "weekday");
        QCOMPARE(cell->tableCellInterface()->table(), g.table);
    }

    void selection_followsTheKeys_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("selected");

        // Where the keys lead is the calendar's own rule; here only that the reader follows it.
        QTest::newRow("moved") << QDate(2024, 1, 12) << int(Qt::Key_Right)
                               << "2024年1月13日 土曜日";
        QTest::newRow("stayed on the last day")
            << QDate(2024, 1, 31) << int(Qt::Key_Right) << "2024年1月31日 水曜日";
    }

    void selection_followsTheKeys()
    {
        QFETCH(QDate, from);
        QFETCH(int, key);
        QFETCH(QString, selected);
        Grid g(from);
        QTest::keyClick(g.calendar, Qt::Key(key));
        const QList<QAccessibleInterface*> cells = g.table->tableInterface()->selectedCells();
        QCOMPARE(cells.size(), 1);
        QCOMPARE(cells.first()->text(QAccessible::Name), selected);
        QVERIFY(cells.first()->state().selected);
        QCOMPARE(g.table->text(QAccessible::Value), selected);
        int selectedStates = 0;
        for (int i = 0; i < g.table->childCount(); ++i)
            selectedStates += g.table->child(i)->state().selected;
        QCOMPARE(selectedStates, 1);
    }
};

QTEST_MAIN(CalendarAccessibleTest)
#include "CalendarAccessibleTest.moc"
