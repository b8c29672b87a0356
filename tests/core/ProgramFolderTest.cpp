#include "core/ProgramFolder.h"

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
    }

    void resolve()
    {
        QFETCH(QString, home);
        QFETCH(QString, besideProgram);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("app");
        const QString app = dir.filePath("app");
        if (besideProgram == "data")
            QDir(app).mkdir("data");
        else if (!besideProgram.isEmpty())
            QFile(QDir(app).filePath(besideProgram)).open(QIODevice::WriteOnly);
        const QString user = dir.filePath("user");
        const QString result = ProgramFolder::resolve(home, app, user);
        QCOMPARE(result, expected == "app" ? app : expected == "user" ? user : expected);
    }
};

QTEST_GUILESS_MAIN(ProgramFolderTest)
#include "ProgramFolderTest.moc"
