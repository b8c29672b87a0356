#include "common/WindowFixture.h"
#include "core/CodePage932.h"
#include "editor/ColorMemo.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace {
const QDate Today(2024, 1, 5);

QStringList linesOf(const QByteArray& file)
{
    return CodePage932::decode(file).split(QStringLiteral("\r\n"));
}
} // namespace

// モルナ's comments under the day before yesterday and yesterday, made at start-up.
class MainFormCompanionTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        fixture = std::make_unique<WindowFixture>();
        fixture->clock.setLocal(QDateTime(Today, QTime(7, 0)));
    }

    void pastEntries_getTheCommentBlock_andTheirTextStaysInFront()
    {
        fixture->write("data/20240103", "one\r\ntwo");
        fixture->write("data/20240104", "three\r\nfour\r\n");
        fixture->start();
        const QStringList earlier = linesOf(fixture->read("data/20240103"));
        const QStringList later = linesOf(fixture->read("data/20240104"));
        QCOMPARE(earlier.size(), 2 + 8);
        QCOMPARE(earlier.mid(0, 3), (QStringList{"one", "two", " "}));
        QCOMPARE(earlier.mid(7), (QStringList{" ", "--------", "モルナ"}));
        // A text ending in a line break gets no empty line before the block, and keeps one after.
        QCOMPARE(later.size(), 2 + 8 + 1);
        QCOMPARE(later.mid(0, 3), (QStringList{"three", "four", " "}));
        QCOMPARE(later.mid(7), (QStringList{" ", "--------", "モルナ", ""}));
    }

    void theEarlierDayIsHandledFirst_andTitlesAreWrittenEvenWhenEmpty()
    {
        fixture->write("data/20240104", "a\r\nb");
        fixture->write("data/20240103", "c\r\nd");
        fixture->start();
        const QByteArray ini = fixture->read("diary.ini");
        QCOMPARE(ini, QByteArray("\r\n[title]\r\n20240103=\r\n20240104=\r\n"));
    }

    void aCommentedDay_isNeverCommentedAgain()
    {
        fixture->write("data/20240104", "a\r\nb");
        fixture->start();
        const QByteArray once = fixture->read("data/20240104");
        fixture->clock.setLocal(QDateTime(Today.addDays(1), QTime(9, 0)));
        fixture->start(); // 20240104 is now the day before yesterday
        QCOMPARE(fixture->read("data/20240104"), once);
    }

    void conditions_eachFlippedAlone_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<bool>("companionOn");
        QTest::addColumn<bool>("commented");
        const QTime seven(7, 0);
        QTest::newRow("qualifies") << QByteArray("a\r\nb") << seven << true << true;
        QTest::newRow("05:59:59.999")
            << QByteArray("a\r\nb") << QTime(5, 59, 59, 999) << true << false;
        QTest::newRow("06:00:00.000") << QByteArray("a\r\nb") << QTime(6, 0) << true << true;
        QTest::newRow("toggle off") << QByteArray("a\r\nb") << seven << false << false;
        QTest::newRow("one line") << QByteArray("a") << seven << true << false;
        QTest::newRow("one line and a break") << QByteArray("a\r\n") << seven << true << false;
        QTest::newRow("two breaks") << QByteArray("\r\n\r\n") << seven << true << true;
        QTest::newRow("typed marker") << QByteArray("a\r\n--------\r\nb") << seven << true << false;
        QTest::newRow("nine hyphens") << QByteArray("a\r\n---------") << seven << true << true;
        QTest::newRow("spaced marker") << QByteArray("a\r\n --------") << seven << true << true;
        // One paragraph wider than the editor wraps onto two display lines.
        QTest::newRow("wrapped paragraph")
            << CodePage932::encode(QString(60, QChar(0x3042))) << seven << true << true;
    }

    void conditions_eachFlippedAlone()
    {
        QFETCH(QByteArray, body);
        QFETCH(QTime, time);
        QFETCH(bool, companionOn);
        QFETCH(bool, commented);
        fixture->clock.setLocal(QDateTime(Today, time));
        fixture->write("data/20240104", body);
        if (!companionOn)
            fixture->write("diary.ini", "[data]\r\nMnikki=0\r\n");
        const QByteArray iniBefore = companionOn ? QByteArray() : fixture->read("diary.ini");
        fixture->start();
        const QByteArray after = fixture->read("data/20240104");
        QCOMPARE(after.startsWith(body) && after.size() > body.size(), commented);
        if (!commented)
            QCOMPARE(after, body);
        if (!companionOn)
            QCOMPARE(fixture->read("diary.ini"), iniBefore);
    }

    void userName_isWovenIn_andBothDaysSeededAlikeGetTheSamePhrases()
    {
        fixture->write("diary.ini", "[data]\r\nusername=\x83\x82\x83\x8b\r\n"); // モル
        fixture->write("data/20240103", "a\r\nb");
        fixture->write("data/20240104", "a\r\nb");
        fixture->clock.setUtc(QDateTime(Today, QTime(7, 2, 35, 690), Qt::UTC));
        fixture->start();
        const QStringList earlier = linesOf(fixture->read("data/20240103"));
        // Seed 25355690 draws row 0 of the first three tables and row 5 of the remarks.
        QCOMPARE(earlier.mid(2), (QStringList{" ", "おひるごろ", "モルナは", "木のぼりしてました。",
                                              "ホントだよ。", " ", "--------", "モルナ"}));
        QCOMPARE(fixture->read("data/20240104"), fixture->read("data/20240103"));
    }

    void noPastEntries_writesNothing()
    {
        fixture->start();
        QVERIFY(!QFile::exists(fixture->path("diary.ini")));
        QVERIFY(QDir(fixture->path("data")).isEmpty());
    }

private:
    std::unique_ptr<WindowFixture> fixture;
};

QTEST_MAIN(MainFormCompanionTest)
#include "MainFormCompanionTest.moc"
