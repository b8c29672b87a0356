#include "core/diary/Diary.h"
#include "common/ArrivedFiles.h"

#include "core/diary/Settings.h"
#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"
#include "core/storage/IniFile32.h"
#include "core/storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The diary kept in step with another computer: what the other computer saved arrives by a
// whole-file replace while this session has the diary open.
class DiaryTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void saveDay_afterChangeOnDisk_losesNothing_data();
    void saveDay_afterChangeOnDisk_losesNothing();
    void writeSettings_keepsTitlesThatArrived();
    void foldConflicts_mergesThenRemovesCopies_data();
    void foldConflicts_mergesThenRemovesCopies();
    void foldConflicts_hostileArrival_staysInsideAndSettles_data();
    void foldConflicts_hostileArrival_staysInsideAndSettles();
    void deleteDay_refusesANameThatIsNoDate_data();
    void deleteDay_refusesANameThatIsNoDate();
    void open_linkOutOfTheFolder_refusedWritingNothing_data();
    void open_linkOutOfTheFolder_refusedWritingNothing();

private:
    // Writes a file as the other computer's sync tool would, saved at SavedAt.
    void arrive(const QString& name, const QString& text) const;
    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {
const QString Key = u"20240105"_s;
const QDateTime SavedAt(QDate(2024, 1, 5), QTime(21, 30));
// "|" in an expected text stands for the separator above a body, "^" above a title.
QString expand(QString text)
{
    return text
        .replace(u'|', u"\n――― 別のコンピューターで保存された内容 (2024/01/05 21:30) ―――\n"_s)
        .replace(u'^', u"\n――― 別のコンピューターで保存された題名 (2024/01/05 21:30) ―――\n"_s);
}
} // namespace

void DiaryTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(path(u"data"_s)));
}

void DiaryTest::arrive(const QString& name, const QString& text) const
{
    SafeFile::write(path(name), CodePage932::encode(QString(text).replace(u'\n', u"\r\n"_s)));
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(SavedAt, QFileDevice::FileModificationTime));
}

void DiaryTest::saveDay_afterChangeOnDisk_losesNothing_data()
{
    // "-": no entry, or nothing arrived; "rm": removed.
    QTest::addColumn<QStringList>("loaded");  // title, body
    QTest::addColumn<QStringList>("arrived"); // title, body
    QTest::addColumn<QStringList>("typed");   // title, body
    QTest::addColumn<QStringList>("saved");   // title, body: on disk and given back
    QTest::newRow("untouched, text arrived") << QStringList{"t", "a"} << QStringList{"t", "b"}
                                             << QStringList{"t", "a"} << QStringList{"t", "b"};
    QTest::newRow("typed, nothing arrived") << QStringList{"t", "a"} << QStringList{"-", "-"}
                                            << QStringList{"t", "a2"} << QStringList{"t", "a2"};
    QTest::newRow("typed, text arrived") << QStringList{"t", "a"} << QStringList{"t", "b"}
                                         << QStringList{"t", "a2"} << QStringList{"t", "a2|b"};
    QTest::newRow("title changed on both") << QStringList{"t", "a"} << QStringList{"u", "a"}
                                           << QStringList{"v", "a"} << QStringList{"v", "a^u"};
    QTest::newRow("title arrived, body typed") << QStringList{"t", "a"} << QStringList{"u", "a"}
                                               << QStringList{"t", "a2"} << QStringList{"u", "a2"};
    QTest::newRow("new day written on both") << QStringList{"-", "-"} << QStringList{"t", "b"}
                                             << QStringList{"v", "c"} << QStringList{"v", "c|b^t"};
    QTest::newRow("the other removed the day") << QStringList{"t", "a"} << QStringList{"-", "rm"}
                                               << QStringList{"t", "a2"} << QStringList{"t", "a2"};
    QTest::newRow("the other removed the day, untouched here")
        << QStringList{"t", "a"} << QStringList{"rm", "rm"} << QStringList{"t", "a"}
        << QStringList{"", "-"};
    QTest::newRow("the other removed the day's file, untouched here")
        << QStringList{"t", "a"} << QStringList{"-", "rm"} << QStringList{"t", "a"}
        << QStringList{"", "-"};
}

void DiaryTest::saveDay_afterChangeOnDisk_losesNothing()
{
    QFETCH(QStringList, loaded);
    QFETCH(QStringList, arrived);
    QFETCH(QStringList, typed);
    const auto ini = [](const QString& title) { return u"[title]\n%1=%2\n"_s.arg(Key, title); };
    if (loaded[1] != u"-"_s) {
        arrive(u"diary.ini"_s, ini(loaded[0]));
        arrive(u"data/"_s + Key, loaded[1]);
    }
    Diary diary(m_dir->path());
    QCOMPARE(diary.loadDay(Key).body, loaded[1] == u"-"_s ? QString() : loaded[1]);
    QVERIFY(!diary.changedOnDisk(Key));
    if (arrived[0] == u"rm"_s)
        arrive(u"diary.ini"_s, u"[title]\n"_s);
    else if (arrived[0] != u"-"_s)
        arrive(u"diary.ini"_s, ini(arrived[0]));
    if (arrived[1] == u"rm"_s)
        QFile::remove(path(u"data/"_s + Key));
    else if (arrived[1] != u"-"_s)
        arrive(u"data/"_s + Key, arrived[1]);
    QCOMPARE(diary.changedOnDisk(Key), arrived != QStringList({"-", "-"}));

    QFETCH(QStringList, saved);
    const Diary::DayText expected{saved[0], saved[1] == u"-"_s ? QString() : expand(saved[1])};
    QCOMPARE(diary.saveDay(Key, typed[0], typed[1]), expected);
    QCOMPARE(QFile::exists(path(u"data/"_s + Key)), saved[1] != u"-"_s);
    QVERIFY(!diary.changedOnDisk(Key));
    QCOMPARE(diary.loadDay(Key), expected);
}

void DiaryTest::writeSettings_keepsTitlesThatArrived()
{
    arrive(u"diary.ini"_s, u"[title]\n20240101=mine\n"_s);
    Diary diary(m_dir->path());
    arrive(u"diary.ini"_s, u"[title]\n20240101=mine\n20240102=theirs\n"_s);
    Settings settings;
    settings.fontName = u"Font"_s;
    diary.writeSettings(settings);
    const TIniFile32 written(path(u"diary.ini"_s));
    QCOMPARE(written.ReadString("title", "20240102", {}), "theirs"_ba);
    QCOMPARE(written.ReadString("data", "fontname", {}), "Font"_ba);
}

void DiaryTest::foldConflicts_mergesThenRemovesCopies_data()
{
    const QString copy = u"data/20240105.sync-conflict-20240106-101010-ABCDEF7"_s;
    const QString iniCopy = u"diary.sync-conflict-20240106-101010-ABCDEF7.ini"_s;
    // name=text; "+name" arrives once the diary is open, "=->target" is a link.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("fault");      // a file whose save or removal fails
    QTest::addColumn<QString>("day");        // the body of 20240105 afterwards
    QTest::addColumn<QStringList>("titles"); // key=title in diary.ini afterwards
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<int>("told"); // copies set aside
    QTest::newRow("day copy") << QStringList{"data/20240105=mine", copy + "=theirs"} << QString()
                              << u"mine|theirs"_s << QStringList() << QStringList() << 0;
    QTest::newRow("copy of the same text")
        << QStringList{"data/20240105=mine", copy + "=mine"} << QString() << u"mine"_s
        << QStringList() << QStringList() << 0;
    QTest::newRow("copy without its day") << QStringList{copy + "=theirs"} << QString()
                                          << u"theirs"_s << QStringList() << QStringList() << 0;
    const QStringList strangers = {"data/20241305.sync-conflict-20240106-101010-ABCDEF7",
                                   "data/notes.sync-conflict-20240106-101010-ABCDEF7",
                                   "data/20240105.sync-conflict-bad",
                                   "diary.sync-conflict-20240106-101010-ABCDEF7.txt"};
    QStringList files{"data/20240105=mine"};
    for (const QString& name : strangers)
        files << name + "=x";
    QTest::newRow("names of no copy of ours")
        << files << QString() << u"mine"_s << QStringList() << strangers << 0;
    QTest::newRow("day not saved, copy stays")
        << QStringList{"data/20240105=mine", copy + "=theirs"} << u"data/20240105"_s << u"mine"_s
        << QStringList() << QStringList{copy} << 1;
    QTest::newRow("copy folded but not removed")
        << QStringList{"data/20240105=mine", copy + "=theirs"} << copy << u"mine|theirs"_s
        << QStringList() << QStringList{copy} << 1;
    QTest::newRow("link named like a copy")
        << QStringList{"data/20240105=mine", "notes=the user's notes", copy + "=->../notes"}
        << QString() << u"mine"_s << QStringList() << QStringList{copy} << 1;
    QTest::newRow("diary.ini copy: titles key by key, settings ours")
        << QStringList{"diary.ini=[title]\n20240105=ours\n[data]\nleft=1\n", "data/20240105=mine",
                       iniCopy + "=[title]\n20240105=theirs\n20240106=new\n[data]\nleft=2\n"}
        << QString() << u"mine^theirs"_s << QStringList{"20240105=ours", "20240106=new", "left=1"}
        << QStringList() << 0;
    QTest::newRow("diary.ini copy after diary.ini changed; a title alike on both sides")
        << QStringList{"diary.ini=[title]\n20240105=ours\n", "data/20240105=mine",
                       "+diary.ini=[title]\n20240105=same\n20240108=arrived\n",
                       "+" + iniCopy + "=[title]\n20240105=same\n20240106=new\n"}
        << QString() << u"mine"_s
        << QStringList{"20240105=same", "20240106=new", "20240108=arrived"} << QStringList() << 0;
}

void DiaryTest::foldConflicts_mergesThenRemovesCopies()
{
    QFETCH(QStringList, files);
    QFETCH(QString, fault);
    const auto place = [&](bool late) {
        for (const QString& file : files) {
            if (file.startsWith(u'+') != late)
                continue;
            const QString name = file.section(u'=', 0, 0).mid(late ? 1 : 0);
            const QString text = file.section(u'=', 1);
            if (text.startsWith(u"->"_s))
                QVERIFY(QFile::link(text.mid(2), path(name)));
            else
                arrive(name, text);
        }
    };
    place(false);
    Diary diary(m_dir->path());
    place(true);
    SafeFile::faultHook() = [&](SafeFile::Step step, const QString& target) {
        return !fault.isEmpty() && step == SafeFile::Step::Commit && target == path(fault) ? EIO
                                                                                           : 0;
    };
    const auto unhook = qScopeGuard([] { SafeFile::faultHook() = {}; });
    QFETCH(int, told);
    QCOMPARE(diary.foldConflicts().setAside.size(), told);
    SafeFile::faultHook() = {};

    QFETCH(QString, day);
    QCOMPARE(diary.loadDay(Key).body, expand(day));
    QFETCH(QStringList, titles);
    const TIniFile32 ini(path(u"diary.ini"_s));
    for (const QString& title : titles) {
        const QByteArray key = title.section(u'=', 0, 0).toLatin1();
        const QByteArray section = key == "left" ? "data" : "title";
        QCOMPARE(ini.ReadString(section, key, {}), title.section(u'=', 1).toLatin1());
    }
    QFETCH(QStringList, left);
    QStringList stayed;
    for (const QString& name : left)
        if (QFile::exists(path(name)))
            stayed << name;
    QCOMPARE(stayed, left);
    QCOMPARE(QDir(path(u"data"_s)).entryList({u"*.sync-conflict-*"_s}).size() +
                 QDir(m_dir->path()).entryList({u"*.sync-conflict-*"_s}).size(),
             left.size());
}

void DiaryTest::foldConflicts_hostileArrival_staysInsideAndSettles_data()
{
    // Records of ArrivedFiles::place below the diary's folder; a peer's files beside the diary,
    // in the user's home, are "../../.ssh/authorized_keys" from the entries folder.
    QTest::addColumn<QByteArrayList>("arrived");
    QTest::addColumn<int>("told"); // copies set aside, each told once
    const QByteArray copy = "data/20240105.sync-conflict-20240106-101010-ABCDEF7";
    const QByteArray iniCopy = "diary.sync-conflict-20240106-101010-ABCDEF7.ini";
    const QByteArray ini = "f:diary.ini=[title]\r\n20240105=mine\r\n20240107=x\r\n";
    QTest::newRow("../ keys in two ini copies")
        << QByteArrayList{ini,
                          "f:" + iniCopy +
                              "=[title]\n../../.ssh/authorized_keys=x\n"
                              "20240105=theirs\n20240106=new\n",
                          "f:diary.sync-conflict-20240106-101011-BBBBBBB.ini=[title]\n"
                          "../../.ssh/authorized_keys=ssh-ed25519 peer\n/tmp/x=y\n"}
        << 2;
    QTest::newRow("symlinked day plus its copy")
        << QByteArrayList{"l:data/20240105=../../.ssh/authorized_keys", "f:" + copy + "=peer"} << 1;
    QTest::newRow("title whose day is a folder")
        << QByteArrayList{ini, "f:data/20240105=mine", "d:data/20240107",
                          "f:" + iniCopy + "=[title]\n20240105=theirs\n20240107=y\n"}
        << 1;
    // A key that starts as a date and goes on names a path through data/20240105.
    const QByteArray onward = "20240105/../../../../outside/notes";
    QTest::newRow("title key going on past its date")
        << QByteArrayList{"d:data/20240105", "f:diary.ini=[title]\r\n" + onward + "=mine\r\n",
                          "f:" + iniCopy + "=[title]\n" + onward + "=theirs\n"}
        << 1;
    QTest::newRow("5 GiB sparse ini copy") << QByteArrayList{"s:" + iniCopy + "=5368709120"} << 1;
    QTest::newRow("FIFO in data/")
        << QByteArrayList{"p:data/20240105", "f:" + copy + "=peer",
                          "p:data/20240106.sync-conflict-20240106-101010-ABCDEF7"}
        << 2;
    QTest::newRow("odd names") << QByteArrayList{"f:data/2024010\xef\xbc\x95.sync-conflict-"
                                                 "20240106-101010-ABCDEF7=x",
                                                 "f:" + copy + "\xff=x", "f:" + copy + "\n=x",
                                                 "f:diary.sync-conflict-20240106-101010-A B.ini=x"}
                               << 0;
}

void DiaryTest::foldConflicts_hostileArrival_staysInsideAndSettles()
{
    QFETCH(QByteArrayList, arrived);
    const QTemporaryDir root;
    const QString home = root.filePath(u"home"_s);
    const QString diaryFolder = home + u"/diary"_s;
    QVERIFY(ArrivedFiles::place(home, "f:.ssh/authorized_keys=ssh-rsa mine"));
    QVERIFY(ArrivedFiles::place(root.path(), "f:outside/notes=the user's"));
    QVERIFY(ArrivedFiles::place(diaryFolder, "d:data"));
    for (const QByteArray& record : arrived)
        QVERIFY2(ArrivedFiles::place(diaryFolder, record), record.constData());
    const auto outside = ArrivedFiles::snapshot(root.path(), diaryFolder);

    // Each fold in a session of its own, as after a restart; nothing but the diary's own errors
    // may leave it.
    QList<QMap<QString, QByteArray>> folded;
    for (int session = 0; session < 2; ++session) {
        try {
            Diary diary(diaryFolder);
            QFETCH(int, told);
            QCOMPARE(diary.foldConflicts().setAside.size(), told);
            QCOMPARE(diary.foldConflicts().setAside.size(), 0);
        } catch (const DiaryError& error) {
            QFAIL(qPrintable(error.message()));
        } catch (const std::exception& error) {
            QFAIL(error.what());
        }
        folded << ArrivedFiles::snapshot(diaryFolder);
        QCOMPARE(ArrivedFiles::snapshot(root.path(), diaryFolder), outside);
    }
    QCOMPARE(folded[1], folded[0]);
}

// Only a day's own name becomes a path to remove: anything else is refused and removes nothing.
void DiaryTest::deleteDay_refusesANameThatIsNoDate_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("out of the entries folder") << u"../diary.ini"_s;
    QTest::newRow("a date that goes on") << u"20240105/../../diary.ini"_s;
    QTest::newRow("no such date") << u"20241305"_s;
}

void DiaryTest::deleteDay_refusesANameThatIsNoDate()
{
    QFETCH(QString, key);
    SafeFile::write(path(u"diary.ini"_s), "[title]\r\n20241305=x\r\n"_ba);
    SafeFile::write(path(u"data/20241305"_s), "x"_ba);
    QVERIFY(QDir().mkpath(path(u"data/20240105"_s)));
    Diary diary(m_dir->path());
    QVERIFY_THROWS_EXCEPTION(DiaryError, diary.deleteDay(key));
    QVERIFY(QFile::exists(path(u"diary.ini"_s)));
    QVERIFY(QFile::exists(path(u"data/20241305"_s)));
}

void DiaryTest::open_linkOutOfTheFolder_refusedWritingNothing_data()
{
    QTest::addColumn<QByteArrayList>("arrived");
    QTest::addColumn<QString>("named");
    const QByteArray iniCopy =
        "f:diary.sync-conflict-20240106-101010-ABCDEF7.ini=[title]\n20240105=$(id>x)\n";
    QTest::newRow("diary.ini a link, and an ini copy")
        << QByteArrayList{"l:diary.ini=../../outside/notes", "d:data", iniCopy} << u"diary.ini"_s;
    QTest::newRow("diary.ini a link leading nowhere")
        << QByteArrayList{"l:diary.ini=../../outside/new", "d:data"} << u"diary.ini"_s;
    QTest::newRow("the entries folder a link")
        << QByteArrayList{"l:data=../../outside"} << u"data"_s;
}

// A sync peer's link from the diary's folder to a file or folder of the user's elsewhere.
void DiaryTest::open_linkOutOfTheFolder_refusedWritingNothing()
{
    QFETCH(QByteArrayList, arrived);
    QFETCH(QString, named);
    const QTemporaryDir root;
    const QString diaryFolder = root.filePath(u"home/diary"_s);
    QVERIFY(ArrivedFiles::place(root.path(), "f:outside/notes=the user's"));
    for (const QByteArray& record : arrived)
        QVERIFY2(ArrivedFiles::place(diaryFolder, record), record.constData());
    const auto outside = ArrivedFiles::snapshot(root.path(), diaryFolder);
    try {
        Diary diary(diaryFolder);
        diary.foldConflicts();
        diary.saveDay(Key, u"題"_s, u"本文"_s);
        QFAIL("the diary opened through the link");
    } catch (const DiaryError& error) {
        QCOMPARE(error.message(), DiaryError::notOwnFile(diaryFolder + u'/' + named).message());
    }
    QCOMPARE(ArrivedFiles::snapshot(root.path(), diaryFolder), outside);
}

QTEST_GUILESS_MAIN(DiaryTest)
#include "DiaryTest.moc"
