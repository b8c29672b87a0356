#include "core/diary/DayStore.h"
#include "common/ArrivedFiles.h"
#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Key = QStringLiteral("20240105");

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

} // namespace

class DayStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void loadSave_uneditedEntry_sameBytes_data();
    void loadSave_uneditedEntry_sameBytes();
    void readBody_lineBreaks_data();
    void readBody_lineBreaks();
    void writeBody_lineBreaks_data();
    void writeBody_lineBreaks();
    void readBody_sizeLimit_data();
    void readBody_sizeLimit();
    void writeBody_overLimit_throwsAndKeepsFile_data();
    void writeBody_overLimit_throwsAndKeepsFile();
    void unreadableEntry_throwsCannotOpen_andIsNeverWritten_data();
    void unreadableEntry_throwsCannotOpen_andIsNeverWritten();
    void writeBody_foldersMissing_throwsCannotCreate();
    void entryKeys_onlyRealDatesOfFiles_data();
    void entryKeys_onlyRealDatesOfFiles();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<DayStore> m_store;
};

void DayStoreTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_store = std::make_unique<DayStore>(m_dir->path());
}

void DayStoreTest::loadSave_uneditedEntry_sameBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("Japanese lines") << QByteArray("\x93\xFA\x8B\x4C\r\n\x82\xA0\x81\x60\x81\x7C");
    QTest::newRow("final line break") << QByteArray("a\r\nb\r\n");
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n\r\n");
    QTest::newRow("half-width katakana and backslash") << QByteArray("\xB6\xDE\xAF\xBA\xB3 C:\\x");
    QTest::newRow("invalid bytes") << QByteArray("\x80\xA0\xFD\xFE\xFF \x85\x40 \xEF\x40\r\n\x82");
    QTest::newRow("lead byte before a line break") << QByteArray("\x81\r\n\x81");
    QTest::newRow("user-defined area") << QByteArray("\xF0\x40\xF9\xFC");
}

void DayStoreTest::loadSave_uneditedEntry_sameBytes()
{
    QFETCH(QByteArray, bytes);
    writeFile(m_store->entryPath(Key), bytes);
    m_store->writeBody(Key, m_store->readBody(Key));
    QCOMPARE(readFile(m_store->entryPath(Key)), bytes);
}

void DayStoreTest::readBody_lineBreaks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("body");
    QTest::newRow("CR LF") << QByteArray("a\r\nb") << QStringLiteral("a\nb");
    QTest::newRow("bare LF") << QByteArray("a\nb\n") << QStringLiteral("a\nb\n");
    QTest::newRow("bare CR") << QByteArray("a\rb") << QStringLiteral("a\nb");
    QTest::newRow("CR before CR LF") << QByteArray("a\r\r\nb") << QStringLiteral("a\n\nb");
    QTest::newRow("LF CR") << QByteArray("a\n\rb") << QStringLiteral("a\n\nb");
    QTest::newRow("only breaks") << QByteArray("\n\r\n\r") << QStringLiteral("\n\n\n");
}

// The file's own line breaks stay where the text was not edited; a new one is CR LF.
void DayStoreTest::readBody_lineBreaks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, body);
    writeFile(m_store->entryPath(Key), bytes);
    QCOMPARE(m_store->readBody(Key), body);
    m_store->writeBody(Key, body);
    QCOMPARE(readFile(m_store->entryPath(Key)), bytes);
    m_store->writeBody(Key, body + QStringLiteral("\nx"));
    QCOMPARE(readFile(m_store->entryPath(Key)), bytes + "\r\nx");
    QCOMPARE(m_store->readBody(Key), body + QStringLiteral("\nx"));
}

void DayStoreTest::writeBody_lineBreaks_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty body, empty file") << QString() << QByteArray();
    QTest::newRow("no final line break")
        << QStringLiteral("今日\n晴れ") << QByteArray("\x8D\xA1\x93\xFA\r\n\x90\xB0\x82\xEA");
    QTest::newRow("final line break kept") << QStringLiteral("a\n") << QByteArray("a\r\n");
    QTest::newRow("stray CR is a line break")
        << QStringLiteral("a\rb\r\nc") << QByteArray("a\r\nb\r\nc");
}

void DayStoreTest::writeBody_lineBreaks()
{
    QFETCH(QString, body);
    QFETCH(QByteArray, bytes);
    QVERIFY(!m_store->hasEntry(Key));
    m_store->writeBody(Key, body);
    QCOMPARE(m_store->entryPath(Key), m_dir->path() + "/20240105");
    QVERIFY(m_store->hasEntry(Key));
    QCOMPARE(readFile(m_store->entryPath(Key)), bytes);
}

void DayStoreTest::readBody_sizeLimit_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("loads");
    QTest::newRow("at the limit") << DayStore::MaxBodyBytes << true;
    QTest::newRow("one byte over") << DayStore::MaxBodyBytes + 1 << false;
}

void DayStoreTest::readBody_sizeLimit()
{
    QFETCH(qint64, size);
    QFETCH(bool, loads);
    writeFile(m_store->entryPath(Key), QByteArray(size, 'a'));
    try {
        QCOMPARE(qint64(m_store->readBody(Key).size()), size);
        QVERIFY(loads);
    } catch (const DiaryError& error) {
        QVERIFY(!loads);
        QCOMPARE(error.message(), DiaryError::memoLimit().message());
    }
}

void DayStoreTest::writeBody_overLimit_throwsAndKeepsFile_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("saves");
    const qsizetype limit = DayStore::MaxBodyBytes;
    QTest::newRow("letters at the limit") << QString(limit, 'a') << true;
    QTest::newRow("letters over the limit") << QString(limit + 1, 'a') << false;
    // Line breaks and kanji take two bytes each in the file.
    QTest::newRow("line breaks at the limit") << QString(limit / 2, '\n') << true;
    QTest::newRow("line breaks over the limit") << QString(limit / 2, '\n') + "a" << false;
    QTest::newRow("kanji over the limit") << QString(limit / 2 + 1, QChar(0x65E5)) << false;
}

void DayStoreTest::writeBody_overLimit_throwsAndKeepsFile()
{
    QFETCH(QString, body);
    QFETCH(bool, saves);
    const QByteArray old("old");
    writeFile(m_store->entryPath(Key), old);
    try {
        m_store->writeBody(Key, body);
        QVERIFY(saves);
        QCOMPARE(m_store->readBody(Key), body);
    } catch (const DiaryError& error) {
        QVERIFY(!saves);
        QCOMPARE(error.message(), DiaryError::memoLimit().message());
        QCOMPARE(readFile(m_store->entryPath(Key)), old);
    }
}

void DayStoreTest::unreadableEntry_throwsCannotOpen_andIsNeverWritten_data()
{
    // What a sync peer or another user may put at a day's path (ArrivedFiles::place), and whether
    // it is another user's or fails partway through its read.
    QTest::addColumn<QByteArray>("arrived");
    QTest::addColumn<QString>("then");
    QTest::newRow("folder at the path") << "d:20240105"_ba << QString();
    QTest::newRow("link to a file of the user's") << "l:20240105=notes.txt"_ba << QString();
    QTest::newRow("pipe") << "p:20240105"_ba << QString();
    QTest::newRow("another user's file") << "f:20240105=theirs"_ba << u"chown"_s;
    // A day larger than one block: the first block reads, the second fails.
    QTest::newRow("read fails partway") << "f:20240105="_ba + QByteArray(100000, 'a') << u"fault"_s;
}

void DayStoreTest::unreadableEntry_throwsCannotOpen_andIsNeverWritten()
{
    QFETCH(QByteArray, arrived);
    QFETCH(QString, then);
    const QString path = m_store->entryPath(Key);
    const QString other = m_dir->filePath(u"notes.txt"_s);
    writeFile(other, "the user's notes");
    QVERIFY(ArrivedFiles::place(m_dir->path(), arrived));
    int blocks = 0;
    // The suite runs as root: the file can be made another user's.
    if (then == u"chown")
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    if (then == u"fault") {
        SafeFile::faultHook() = [&](SafeFile::Step step, const QString&) {
            return step == SafeFile::Step::ReadBlock && ++blocks == 2 ? EIO : 0;
        };
    }
    const auto noFault = qScopeGuard([] { SafeFile::faultHook() = {}; });
    const QFileInfo before(path);
    QVERIFY(m_store->hasEntry(Key));
    try {
        m_store->readBody(Key);
        QFAIL("the entry was read");
    } catch (const DiaryError& error) {
        QVERIFY2(error.message().startsWith(u"ﾌｧｲﾙ %1 は開けません"_s.arg(path)),
                 qPrintable(error.message()));
    }
    if (then == u"fault")
        return;
    QVERIFY_THROWS_EXCEPTION(DiaryError, m_store->writeBody(Key, u"saved over"_s));
    const QFileInfo after(path);
    QCOMPARE(after.isSymLink(), before.isSymLink());
    QCOMPARE(after.isDir(), before.isDir());
    QCOMPARE(after.size(), before.size());
    QCOMPARE(readFile(other), "the user's notes"_ba);
}

void DayStoreTest::writeBody_foldersMissing_throwsCannotCreate()
{
    const DayStore store(m_dir->path() + "/data");
    const QString path = m_dir->path() + "/data/20240105";
    try {
        store.writeBody(Key, QStringLiteral("本文"));
        QFAIL("a body was reported saved into a missing folder");
    } catch (const DiaryError& error) {
        QCOMPARE(error.message(), QStringLiteral("ﾌｧｲﾙ %1 を作成できません").arg(path));
    }
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(DayStoreTest)
#include "DayStoreTest.moc"

void DayStoreTest::entryKeys_onlyRealDatesOfFiles_data()
{
    QTest::addColumn<QByteArray>("arrived");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("files, oldest first")
        << QByteArray("f:20240101=a") << QStringList{u"20240101"_s, Key};
    QTest::newRow("no date") << QByteArray("f:20240230=a") << QStringList{Key};
    QTest::newRow("link to a file")
        << QByteArray("l:20240101=notes.txt") << QStringList{u"20240101"_s, Key};
    QTest::newRow("link to nothing") << QByteArray("l:20240101=gone") << QStringList{Key};
    QTest::newRow("link to a folder") << QByteArray("l:20240101=.") << QStringList{Key};
    QTest::newRow("folder") << QByteArray("d:20240101") << QStringList{Key};
    QTest::newRow("pipe") << QByteArray("p:20240101") << QStringList{Key};
}

void DayStoreTest::entryKeys_onlyRealDatesOfFiles()
{
    QFETCH(QByteArray, arrived);
    QFETCH(QStringList, keys);
    writeFile(m_store->entryPath(Key), "day");
    writeFile(m_dir->filePath(u"notes.txt"_s), "notes");
    QVERIFY(ArrivedFiles::place(m_dir->path(), arrived));
    QCOMPARE(m_store->entryKeys(), keys);
}
