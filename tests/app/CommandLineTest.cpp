#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QTest>

Q_DECLARE_METATYPE(CommandLine::Action)

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("tobiquill");
        QCoreApplication::setApplicationVersion("0.1");
    }

    void parse_data()
    {
        using A = CommandLine::Action;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<A>("action");
        QTest::addColumn<QString>("diary");
        QTest::addColumn<bool>("platform");
        QTest::addColumn<QString>("textHas");
        QTest::newRow("unknown option")
            << QStringList{"--bogus"} << A::Error << "" << false << "bogus";
        QTest::newRow("a stray argument")
            << QStringList{"notes"} << A::Error << "" << false << "notes";
        QTest::newRow("diary without folder")
            << QStringList{"--diary"} << A::Error << "" << false << "diary";
        QTest::newRow("diary empty")
            << QStringList{"--diary="} << A::Error << "" << false << "--diary";
        QTest::newRow("nothing") << QStringList{} << A::Run << "" << false << "";
        QTest::newRow("diary relative")
            << QStringList{"--diary", "notes/"} << A::Run << "/home/u/notes" << false << "";
        QTest::newRow("diary absolute")
            << QStringList{"--diary=/srv/d/../diary"} << A::Run << "/srv/diary" << false << "";
        QTest::newRow("Qt's options pass")
            << QStringList{"-platform", "xcb", "-reverse", "-style=fusion", "--diary", "/d"}
            << A::Run << "/d" << true << "";
        QTest::newRow("help") << QStringList{"--help"} << A::Help << "" << false
                              << "--diary <folder>";
        QTest::newRow("short help") << QStringList{"-h"} << A::Help << "" << false << "--version";
        QTest::newRow("stats with a task")
            << QStringList{"--stats", "--backup", "b.zip"} << A::Error << "" << false << "--stats";
        QTest::newRow("stats") << QStringList{"--stats", "--diary", "/d"} << A::Stats << "/d"
                               << false << "";
        QTest::newRow("version") << QStringList{"--version"} << A::Version << "" << false
                                 << "tobiquill 0.1\n";
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Action, action);
        QFETCH(QString, diary);
        QFETCH(bool, platform);
        QFETCH(QString, textHas);
        arguments.prepend("tobiquill");
        const CommandLine line = CommandLine::parse(arguments, "/home/u");
        QCOMPARE(line.action, action);
        QCOMPARE(line.diaryFolder, diary);
        QCOMPARE(line.platformGiven, platform);
        QVERIFY2(line.text.contains(textHas), qPrintable(line.text));
        QVERIFY(!line.text.contains("platformtheme"));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
