#include "core/storage/RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

class RuntimeFolderTest : public QObject
{
    Q_OBJECT

private slots:
    void choose_data();
    void choose();
};

void RuntimeFolderTest::choose_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("the session's runtime folder") << u""_s << u"run"_s;
    QTest::newRow("none named") << u"run missing"_s << u"home"_s;
    QTest::newRow("another user's") << u"run stranger"_s << u"home"_s;
    QTest::newRow("open to others") << u"run 1777"_s << u"home"_s;
    QTest::newRow("a link to a private folder") << u"run link"_s << u"home"_s;
    QTest::newRow("its program folder another user's") << u"run/tobiquill stranger"_s << u"home"_s;
    QTest::newRow("home's program folder open to others")
        << u"run missing\nhome/.cache/tobiquill 755"_s << u""_s;
    QTest::newRow("home open to others") << u"run missing\nhome 777"_s << u""_s;
}

// The folder of the locks and sockets: the runtime folder when only the user can have made it,
// else one in the home folder, else none; never a shared name.
void RuntimeFolderTest::choose()
{
    QFETCH(QString, setup);
    QFETCH(QString, chosen);
    if (setup.contains(u"stranger"_s) && ::geteuid() != 0)
        QSKIP("another user is played by root");
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath(u"run"_s)));
    QVERIFY(QDir().mkpath(dir.filePath(u"home"_s)));
    QVERIFY(::chmod(QFile::encodeName(dir.filePath(u"run"_s)).constData(), 0700) == 0);
    for (const QString& line : setup.split(u'\n', Qt::SkipEmptyParts)) {
        const QString what = line.section(u' ', 0, 0);
        const QString how = line.section(u' ', 1);
        const QByteArray path = QFile::encodeName(dir.filePath(what));
        QVERIFY(QDir().mkpath(dir.filePath(what)));
        if (how == u"missing"_s)
            QVERIFY(QDir(dir.filePath(what)).removeRecursively());
        if (how == u"stranger"_s)
            QVERIFY(::chown(path.constData(), 65534, 65534) == 0);
        if (how == u"link"_s) {
            QVERIFY(QDir().rename(dir.filePath(what), dir.filePath(u"private"_s)));
            QVERIFY(QFile::link(dir.filePath(u"private"_s), dir.filePath(what)));
        }
        if (how.front().isDigit())
            QVERIFY(::chmod(path.constData(), how.toUInt(nullptr, 8)) == 0);
    }

    const QString folder = RuntimeFolder::choose({dir.filePath(u"run"_s)}, dir.filePath(u"home"_s));
    const QString expected = chosen == u"run"_s    ? dir.filePath(u"run/tobiquill"_s)
                             : chosen == u"home"_s ? dir.filePath(u"home/.cache/tobiquill"_s)
                                                   : QString();
    QCOMPARE(folder, expected);
    struct stat made
    {
    };
    QVERIFY(folder.isEmpty() || (::lstat(QFile::encodeName(folder).constData(), &made) == 0 &&
                                 (made.st_mode & 0777) == 0700));
}

QTEST_GUILESS_MAIN(RuntimeFolderTest)
#include "RuntimeFolderTest.moc"
