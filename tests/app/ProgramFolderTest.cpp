#include "app/ProgramFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class ProgramFolderTest : public QObject
{
    Q_OBJECT

private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("besideProgram");
        QTest::addColumn<QString>("expected");
        QTest::newRow("override wins") << "/tmp/mine"
                                       << "diary.ini"
                                       << "/tmp/mine";
        QTest::newRow("diary beside program") << ""
                                              << "diary.ini"
                                              << "app";
        QTest::newRow("entries beside program") << ""
                                                << "data"
                                                << "app";
        QTest::newRow("nothing beside program") << ""
                                                << ""
                                                << "user";
        QTest::newRow("installed program ignores a diary beside it") << ""
                                                                     << "installed"
                                                                     << "user";
        QTest::newRow("installed program takes the override") << "/tmp/mine"
                                                              << "installed"
                                                              << "/tmp/mine";
    }

    void resolve()
    {
        QFETCH(QString, home);
        QFETCH(QString, besideProgram);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("app");
        const QString app = dir.filePath("app");
        if (besideProgram == "data") {
            QDir(app).mkdir("data");
        } else if (besideProgram == "installed") {
            // bin/ and share/applications/ side by side, with a diary beside the program.
            QDir(dir.path()).mkpath("share/applications");
            QFile(dir.filePath("share/applications/" TOBIQUILL_APP_ID ".desktop"))
                .open(QIODevice::WriteOnly);
            QFile(QDir(app).filePath("diary.ini")).open(QIODevice::WriteOnly);
            QDir(app).mkdir("data");
        } else if (besideProgram == "diary.ini") {
            QFile(QDir(app).filePath(besideProgram)).open(QIODevice::WriteOnly);
        }
        const QString user = dir.filePath("user");
        const QString result = ProgramFolder::resolve(home, app, user);
        QCOMPARE(result, expected == "app" ? app : expected == "user" ? user : expected);
    }
};

QTEST_GUILESS_MAIN(ProgramFolderTest)
#include "ProgramFolderTest.moc"
