#include "core/companion/Companion.h"
#include "common/ReferenceGenerator.h"
#include "core/companion/Phrases.h"
#include "core/companion/Random.h"

#include <QTimeZone>
#include <QtTest>

using Table = Phrases::Table;

namespace {

QDateTime localAt(const QTime& time)
{
    return QDateTime(QDate(2024, 3, 14), time);
}

QDateTime utcAt(const QTime& time)
{
    return QDateTime(QDate(2024, 3, 14), time, QTimeZone::utc());
}

} // namespace

class CompanionTest : public QObject
{
    Q_OBJECT

private slots:
    void isCommented_onlyAnExactMarkerLine_data();
    void isCommented_onlyAnExactMarkerLine();
    void qualifies_eachConditionAlone_data();
    void qualifies_eachConditionAlone();
    void seedFrom_utcMillisecondOfDay_data();
    void seedFrom_utcMillisecondOfDay();
    void commentBlock_workedExample();
    void commentBlock_followsTheSeed_data();
    void commentBlock_followsTheSeed();
    void commentBlock_sameSeed_sameBlock();
};

void CompanionTest::isCommented_onlyAnExactMarkerLine_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("commented");
    const QString marker = QStringLiteral("--------");
    const QString text = QStringLiteral("きょうははれ");
    QTest::newRow("none") << QStringList{text, text} << false;
    QTest::newRow("first") << QStringList{marker, text} << true;
    QTest::newRow("middle") << QStringList{text, marker, text} << true;
    QTest::newRow("last") << QStringList{text, text, marker} << true;
    QTest::newRow("nine hyphens") << QStringList{text, QStringLiteral("---------")} << false;
    QTest::newRow("seven hyphens") << QStringList{text, QStringLiteral("-------")} << false;
    QTest::newRow("space before") << QStringList{text, QStringLiteral(" --------")} << false;
    QTest::newRow("space after") << QStringList{text, QStringLiteral("-------- ")} << false;
    QTest::newRow("inside a line") << QStringList{text, QStringLiteral("a--------b")} << false;
    QTest::newRow("full-width") << QStringList{text, QStringLiteral("－－－－－－－－")} << false;
    QTest::newRow("empty") << QStringList{} << false;
}

void CompanionTest::isCommented_onlyAnExactMarkerLine()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, commented);
    QCOMPARE(Companion::marker(), QStringLiteral("--------"));
    QCOMPARE(Companion::isCommented(lines), commented);
}

void CompanionTest::qualifies_eachConditionAlone_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("qualifies");
    const QString text = QStringLiteral("きょうははれ");
    const QStringList two{text, text};
    const QDateTime six = localAt(QTime(6, 0));

    QTest::newRow("two lines at 06:00:00.000") << two << six << true;
    QTest::newRow("just before 06:00") << two << localAt(QTime(5, 59, 59, 999)) << false;
    QTest::newRow("midnight") << two << localAt(QTime(0, 0)) << false;
    QTest::newRow("last millisecond of the day") << two << localAt(QTime(23, 59, 59, 999)) << true;
    QTest::newRow("one line") << QStringList{text} << six << false;
    QTest::newRow("no lines") << QStringList{} << six << false;
    QTest::newRow("two empty lines") << QStringList{QString(), QString()} << six << true;
    QTest::newRow("marker") << QStringList{text, QStringLiteral("--------")} << six << false;
    QTest::newRow("nine hyphens") << QStringList{text, QStringLiteral("---------")} << six << true;
    QTest::newRow("space and eight hyphens")
        << QStringList{text, QStringLiteral(" --------")} << six << true;
    QTest::newRow("invalid time") << two << QDateTime() << false;
}

void CompanionTest::qualifies_eachConditionAlone()
{
    QFETCH(QStringList, lines);
    QFETCH(QDateTime, now);
    QFETCH(bool, qualifies);
    QCOMPARE(Companion::qualifies(lines, now), qualifies);
}

void CompanionTest::seedFrom_utcMillisecondOfDay_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("midnight") << utcAt(QTime(0, 0)) << 0u;
    QTest::newRow("one ms") << utcAt(QTime(0, 0, 0, 1)) << 1u;
    QTest::newRow("12:34:56.789") << utcAt(QTime(12, 34, 56, 789)) << 45296789u;
    QTest::newRow("last ms") << utcAt(QTime(23, 59, 59, 999)) << 86399999u;
    // The seed follows the UTC clock, whatever zone the value was given in.
    QTest::newRow("09:00 at +09:00")
        << QDateTime(QDate(2024, 3, 14), QTime(9, 0, 0, 5), QTimeZone(9 * 3600)) << 5u;
}

void CompanionTest::seedFrom_utcMillisecondOfDay()
{
    QFETCH(QDateTime, now);
    QFETCH(quint32, seed);
    QCOMPARE(Companion::seedFrom(now), seed);
}

void CompanionTest::commentBlock_workedExample()
{
    // 07:02:35.690 UTC draws rows 0, 0, 0 and 5.
    Random::setSeed(Companion::seedFrom(utcAt(QTime(7, 2, 35, 690))));
    const QStringList expected{QStringLiteral(" "),
                               QStringLiteral("おひるごろ"),
                               QStringLiteral("モルナは"),
                               QStringLiteral("木のぼりしてました。"),
                               QStringLiteral("ホントだよ。"),
                               QStringLiteral(" "),
                               QStringLiteral("--------"),
                               QStringLiteral("モルナ")};
    QCOMPARE(Companion::commentBlock(QStringLiteral("あなた")), expected);
}

void CompanionTest::commentBlock_followsTheSeed_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("userName");
    QTest::newRow("default name") << 45296789u << QStringLiteral("あなた");
    QTest::newRow("empty name") << 86399999u << QString();
    QTest::newRow("other name") << 1234567u << QStringLiteral("ﾀﾛｳ");
}

void CompanionTest::commentBlock_followsTheSeed()
{
    QFETCH(quint32, seed);
    QFETCH(QString, userName);
    ReferenceGenerator reference{seed};
    // Drawn in the order When, Who, What, Remark.
    const int when = reference.draw(33);
    const int who = reference.draw(36);
    const int what = reference.draw(71);
    const int remark = reference.draw(54);
    const QStringList expected{QStringLiteral(" "),
                               Phrases::row(Table::When, when, userName),
                               Phrases::row(Table::Who, who, userName),
                               Phrases::row(Table::What, what, userName),
                               Phrases::row(Table::Remark, remark, userName),
                               QStringLiteral(" "),
                               QStringLiteral("--------"),
                               QStringLiteral("モルナ")};

    Random::setSeed(seed);
    QCOMPARE(Companion::commentBlock(userName), expected);
    QCOMPARE(quint64(Random::seed()), reference.state);
}

void CompanionTest::commentBlock_sameSeed_sameBlock()
{
    Random::setSeed(777u);
    const QStringList first = Companion::commentBlock(QStringLiteral("あなた"));
    Random::setSeed(777u);
    QCOMPARE(Companion::commentBlock(QStringLiteral("あなた")), first);
    QVERIFY(Companion::isCommented(first));
}

QTEST_GUILESS_MAIN(CompanionTest)
#include "CompanionTest.moc"
