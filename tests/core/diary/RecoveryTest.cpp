#include "core/diary/Recovery.h"

#include "common/RecoveryPlaces.h"
#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
const QDateTime At(QDate(2024, 1, 5), QTime(23, 59, 30));
}

class RecoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { SafeFile::faultHook() = {}; }

    void places_userFolderFirst_thenTemporary_thenRuntime()
    {
        const RecoveryPlaces chosen(u"/home/u"_s);
        qputenv("XDG_DATA_HOME", "/home/u/data");
        const QString name = u"tobiquill-recovery-%1"_s.arg(::geteuid());
        const QString runtime = u"/home/u/run/tobiquill-recovery"_s;
        QVERIFY(Recovery::places().first().startsWith(u"/home/u/data/"_s));
        QCOMPARE(Recovery::places().mid(1), QStringList({"/home/u/tmp/" + name, runtime}));
        qunsetenv("TMPDIR");
        QCOMPARE(Recovery::places().mid(1),
                 QStringList({"/var/tmp/" + name, "/tmp/" + name, runtime}));
    }

    void write_goesToTheFirstFolderThatTakesIt_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("secondTakes");
        QTest::newRow("first full") << u"full"_s << true;
        QTest::newRow("first is a file") << u"file"_s << true;
        QTest::newRow("first open to others") << u"open"_s << true;
        QTest::newRow("first a link to a private folder") << u"link"_s << true;
        QTest::newRow("none takes it") << u"full"_s << false;
    }

    void write_goesToTheFirstFolderThatTakesIt()
    {
        QFETCH(QString, first);
        QFETCH(bool, secondTakes);
        const QTemporaryDir dir;
        const QString a = dir.filePath(u"a"_s);
        const QString b = dir.filePath(u"b/recovery"_s);
        if (first == u"file")
            SafeFile::write(a, "x"_ba);
        else if (first == u"open")
            QVERIFY(QDir().mkdir(a, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadOther | QFile::ExeOther));
        else if (first == u"link")
            QVERIFY(SafeFile::makeFolder(dir.filePath(u"private"_s)) &&
                    QFile::link(dir.filePath(u"private"_s), a));
        SafeFile::faultHook() = [&](SafeFile::Step step, const QString& path) {
            const bool full =
                (first == u"full" && path.startsWith(a)) || (!secondTakes && path.startsWith(b));
            return step == SafeFile::Step::Create && full ? ENOSPC : 0;
        };

        QString written;
        try {
            written = Recovery::write({a, b}, u"20240105"_s, u"題"_s, u"本文 😀"_s, At);
        } catch (const DiaryError& error) {
            QVERIFY(!secondTakes);
            QCOMPARE(error.message(), u"保存できなかった題名と本文は、次のどのﾌｫﾙﾀﾞにも"
                                      "書き出せませんでした。\n%1\n%2"_s.arg(a, b));
            return;
        }
        QVERIFY(secondTakes);
        QCOMPARE(written, b + u"/20240105-20240105-235930.txt"_s);
        QCOMPARE(SafeFile::read(written), u"20240105\n題名: 題\n\n本文 😀\n"_s.toUtf8());
        struct stat info
        {
        };
        QCOMPARE(::stat(QFile::encodeName(b).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0700));
        QCOMPARE(QDir(dir.filePath(u"private"_s)).entryList(QDir::Files), QStringList());
    }

    void write_twiceInOneSecond_keepsBoth()
    {
        const QTemporaryDir dir;
        const QString first = Recovery::write({dir.path()}, u"20240105"_s, u"1"_s, u"a"_s, At);
        const QString second = Recovery::write({dir.path()}, u"20240105"_s, u"2"_s, u"b"_s, At);
        QCOMPARE(second, dir.filePath(u"20240105-20240105-235930-2.txt"_s));
        QVERIFY(SafeFile::read(first).contains("a\n"));
        QVERIFY(SafeFile::read(second).contains("b\n"));
    }

    // Leaving is offered once the text is kept somewhere; when no folder took it the window stays.
    void messages_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("text");
        QTest::newRow("kept") << u"/r/20240105.txt"_s << QString()
                              << u"保存できなかった題名と本文を次のﾌｧｲﾙに書き出しました。\n"
                                 "/r/20240105.txt\n\n保存せずに終了しますか?"_s;
        QTest::newRow("nothing to keep") << QString() << QString() << u"保存せずに終了しますか?"_s;
        QTest::newRow("kept nowhere")
            << QString() << u"disk full"_s << u"disk full\nｳｨﾝﾄﾞｳは閉じずにおきます。"_s;
    }
    void messages()
    {
        QFETCH(QString, path);
        QFETCH(QString, error);
        QFETCH(QString, text);
        QCOMPARE(error.isEmpty() ? Recovery::leaveQuestion(path) : Recovery::stayMessage(error),
                 text);
    }
};

QTEST_GUILESS_MAIN(RecoveryTest)
#include "RecoveryTest.moc"
