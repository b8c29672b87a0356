#include "core/storage/IniFile32.h"
#include "common/Immutable.h"
#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <optional>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

class IniFile32Test : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void workedExample_matchesBytes();
    void missingFile_readsDefaultsUntilFirstWrite();
    void readString_data();
    void readString();
    void readInteger_data();
    void readInteger();
    void readBool_data();
    void readBool();
    void writeString_data();
    void writeString();
    void writeNumbers_readBack();
    void editSection_onePassAsWriteString();
    void writeFailure_keepsOldFileAndChange_data();
    void writeFailure_keepsOldFileAndChange();
    void unreadableFile_throwsCannotOpen_data();
    void unreadableFile_throwsCannotOpen();
    void linkAtPath_neverReadNorWritten_data();
    void linkAtPath_neverReadNorWritten();
    void textAfterNul_keptThroughWrites_data();
    void textAfterNul_keptThroughWrites();
    void garbageFile_neverCrashes_data();
    void garbageFile_neverCrashes();
    void writeOnce_startsFromDisk_writesOnlyChangedBytes_data();
    void writeOnce_startsFromDisk_writesOnlyChangedBytes();

private:
    QString m_path;
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void readRow(const char* name, const QByteArray& file, const QByteArray& section,
             const QByteArray& key, const QByteArray& expected)
{
    QTest::newRow(name) << file << section << key << expected;
}

void writeRow(const char* name, const QByteArray& file, const QByteArray& section,
              const QByteArray& key, const QByteArray& value, const QByteArray& expected)
{
    QTest::newRow(name) << file << section << key << value << expected;
}

} // namespace

void IniFile32Test::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(u"diary.ini"_s);
}

void IniFile32Test::workedExample_matchesBytes()
{
    TIniFile32 ini(m_path);
    ini.WriteString("title", "20240105", "Trip");
    QCOMPARE(readFile(m_path), "\r\n[title]\r\n20240105=Trip\r\n"_ba);
    ini.WriteString("data", "fontsize", "9");
    ini.WriteString("title", "20240106", "X");
    const QByteArray expected =
        "\r\n[title]\r\n20240105=Trip\r\n\r\n20240106=X\r\n[data]\r\nfontsize=9\r\n"_ba;
    QCOMPARE(readFile(m_path), expected);

    const TIniFile32 reloaded(m_path);
    QCOMPARE(reloaded.Lines(), ini.Lines());
    QCOMPARE(reloaded.ReadString("title", "20240106", "?"), "X"_ba);
}

void IniFile32Test::missingFile_readsDefaultsUntilFirstWrite()
{
    TIniFile32 ini(m_path);
    QCOMPARE(ini.FileName(), m_path);
    QVERIFY(ini.Lines().isEmpty());
    QCOMPARE(ini.ReadString("data", "name", "none"), "none"_ba);
    QCOMPARE(ini.ReadInteger("data", "size", 12), 12);
    QVERIFY(!QFile::exists(m_path));
    ini.WriteBool("data", "bar", true);
    QCOMPARE(readFile(m_path), "\r\n[data]\r\nbar=1\r\n"_ba);
}

void IniFile32Test::readString_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("expected");

    readRow("header in capitals", "[DATA]\r\nk=1\r\n"_ba, "data"_ba, "k"_ba, "1"_ba);
    readRow("header after a space", " [data]\r\nk=1\r\n"_ba, "data"_ba, "k"_ba, "def"_ba);
    readRow("header before a tab", "[data]\t\r\nk=1\r\n"_ba, "data"_ba, "k"_ba, "def"_ba);
    readRow("key case", "[data]\r\nFontname=M\r\n"_ba, "data"_ba, "fontname"_ba, "def"_ba);
    readRow("blanks trimmed", "[data]\r\n \t k \t= \t9 x \t\r\n"_ba, "data"_ba, "k"_ba, "9 x"_ba);
    readRow("empty value", "[data]\r\nk=\r\n"_ba, "data"_ba, "k"_ba, "def"_ba);
    readRow("blank value", "[data]\r\nk= \t \r\n"_ba, "data"_ba, "k"_ba, "def"_ba);
    readRow("first key wins", "[data]\r\nk=1\r\nk=2\r\n"_ba, "data"_ba, "k"_ba, "1"_ba);
    readRow("first section wins", "[data]\r\na=1\r\n[Data]\r\nk=2\r\n"_ba, "data"_ba, "k"_ba,
            "def"_ba);
    readRow("before first header", "k=0\r\n[data]\r\n"_ba, "data"_ba, "k"_ba, "def"_ba);
    readRow("blank-framed header ends section", "[data]\r\n [x] \r\nk=1\r\n"_ba, "data"_ba, "k"_ba,
            "def"_ba);
    readRow("blank line is no header", "[data]\r\n   \r\nk=1\r\n"_ba, "data"_ba, "k"_ba, "1"_ba);
    readRow("later equals signs", "[data]\r\nk=a=b\r\n"_ba, "data"_ba, "k"_ba, "a=b"_ba);
    readRow("line without equals", "[data]\r\nk\r\n"_ba, "data"_ba, "k"_ba, "def"_ba);
    readRow("empty key", "[data]\r\n=1\r\n"_ba, "data"_ba, ""_ba, "def"_ba);
    readRow("Shift-JIS value ends kept", "[title]\r\n1=\x81\x40\x93\xfa\x8b\x4c\x81\x40\r\n"_ba,
            "title"_ba, "1"_ba, "\x81\x40\x93\xfa\x8b\x4c\x81\x40"_ba);
    readRow("Shift-JIS section folds ASCII only", "[T\x83\x41]\r\nk=1\r\n"_ba, "t\x83\x41"_ba,
            "k"_ba, "1"_ba);
    readRow("Shift-JIS trail byte exact", "[\x83\x41]\r\nk=1\r\n"_ba, "\x83\x61"_ba, "k"_ba,
            "def"_ba);
    readRow("bare LF", "[data]\nk=1\n"_ba, "data"_ba, "k"_ba, "1"_ba);
    readRow("bare CR", "[data]\rk=1\r"_ba, "data"_ba, "k"_ba, "1"_ba);
    readRow("CR before CR LF, no last break", "[data]\r\r\nk=1"_ba, "data"_ba, "k"_ba, "1"_ba);
    readRow("NUL ends the text", "[data]\r\na=1\0\r\nk=2\r\n"_ba, "data"_ba, "k"_ba, "def"_ba);
}

void IniFile32Test::readString()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, expected);
    QVERIFY(writeFile(m_path, file));
    const TIniFile32 ini(m_path);
    QCOMPARE(ini.ReadString(section, key, "def"), expected);
}

void IniFile32Test::readInteger_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<qint32>("expected");

    const qint32 fallback = 77;
    QTest::newRow("0x1F") << "0x1F"_ba << 31;
    QTest::newRow("0Xff") << "0Xff"_ba << 255;
    QTest::newRow("$1F") << "$1F"_ba << 31;
    QTest::newRow("-5") << "-5"_ba << -5;
    QTest::newRow("+5") << "+5"_ba << 5;
    QTest::newRow("blanks") << " 12 "_ba << 12;
    QTest::newRow("max") << "2147483647"_ba << std::numeric_limits<qint32>::max();
    QTest::newRow("min") << "-2147483648"_ba << std::numeric_limits<qint32>::min();
    QTest::newRow("$FFFFFFFF") << "$FFFFFFFF"_ba << -1;
    QTest::newRow("$80000000") << "$80000000"_ba << std::numeric_limits<qint32>::min();
    QTest::newRow("0x alone") << "0x"_ba << fallback;
    QTest::newRow("12abc") << "12abc"_ba << fallback;
    QTest::newRow("2147483648") << "2147483648"_ba << fallback;
    QTest::newRow("-2147483649") << "-2147483649"_ba << fallback;
    QTest::newRow("99999999999999999999") << "99999999999999999999"_ba << fallback;
    QTest::newRow("nine hex digits") << "$00000001F"_ba << fallback;
    QTest::newRow("0x nine hex digits") << "0x123456789"_ba << fallback;
    QTest::newRow("$ alone") << "$"_ba << fallback;
    QTest::newRow("sign alone") << "-"_ba << fallback;
    QTest::newRow("signed hex") << "-$1"_ba << fallback;
    QTest::newRow("inner blank") << "1 2"_ba << fallback;
    QTest::newRow("empty") << ""_ba << fallback;
}

void IniFile32Test::readInteger()
{
    QFETCH(QByteArray, value);
    QFETCH(qint32, expected);
    QVERIFY(writeFile(m_path, "[data]\r\nn=" + value + "\r\n"));
    QCOMPARE(TIniFile32(m_path).ReadInteger("data", "n", 77), expected);
}

void IniFile32Test::readBool_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("expected");

    QTest::newRow("1") << "1"_ba << false << true;
    QTest::newRow("0") << "0"_ba << true << false;
    QTest::newRow("-1") << "-1"_ba << false << true;
    QTest::newRow("$0") << "$0"_ba << true << false;
    QTest::newRow("yes, default false") << "yes"_ba << false << false;
    QTest::newRow("empty, default true") << ""_ba << true << true;
}

void IniFile32Test::readBool()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, defaultValue);
    QFETCH(bool, expected);
    QVERIFY(writeFile(m_path, "[data]\r\nb=" + value + "\r\n"));
    QCOMPARE(TIniFile32(m_path).ReadBool("data", "b", defaultValue), expected);
}

void IniFile32Test::writeString_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");

    writeRow("new key before next header", "[title]\r\na=1\r\n\r\n \r\n[data]\r\n"_ba, "title"_ba,
             "b"_ba, "2"_ba, "[title]\r\na=1\r\n\r\n \r\nb=2\r\n[data]\r\n"_ba);
    writeRow("new key at the end", "[data]\r\na=1\r\n"_ba, "data"_ba, "b"_ba, "2"_ba,
             "[data]\r\na=1\r\nb=2\r\n"_ba);
    writeRow("first duplicate replaced", "[data]\r\nk=1\r\nk=2\r\n"_ba, "data"_ba, "k"_ba, "3"_ba,
             "[data]\r\nk=3\r\nk=2\r\n"_ba);
    writeRow("whole line replaced", "[DATA]\r\n  k = 1 \r\n"_ba, "data"_ba, "k"_ba, "2"_ba,
             "[DATA]\r\nk=2\r\n"_ba);
    writeRow("value not trimmed", "[data]\r\n"_ba, "data"_ba, "k"_ba, " 2 "_ba,
             "[data]\r\nk= 2 \r\n"_ba);
    writeRow("header after a space, new section", " [data]\r\nk=1\r\n"_ba, "data"_ba, "k"_ba,
             "2"_ba, " [data]\r\nk=1\r\n\r\n[data]\r\nk=2\r\n"_ba);
    writeRow("bare LF rewritten with CR LF", "[data]\nk=1\nz=0"_ba, "data"_ba, "k"_ba, "2"_ba,
             "[data]\r\nk=2\r\nz=0\r\n"_ba);
    writeRow("bare CR rewritten with CR LF", "[data]\rk=1\r\r"_ba, "data"_ba, "k"_ba, "2"_ba,
             "[data]\r\nk=2\r\n\r\n"_ba);
    writeRow("empty key rewrites unchanged", "[data]\nk=1"_ba, "data"_ba, ""_ba, "2"_ba,
             "[data]\r\nk=1\r\n"_ba);
    writeRow("empty key, header only", ""_ba, "data"_ba, ""_ba, "2"_ba, "\r\n[data]\r\n"_ba);
    writeRow("line breaks in value become spaces", "[data]\r\n"_ba, "data"_ba, "k"_ba,
             "a\r\nb\0c\rd\ne"_ba, "[data]\r\nk=a  b c d e\r\n"_ba);
    writeRow("key with equals sign", "[data]\r\n"_ba, "data"_ba, "a=b"_ba, "1"_ba, "[data]\r\n"_ba);
    writeRow("key with blank end", "[data]\r\n"_ba, "data"_ba, "k "_ba, "1"_ba, "[data]\r\n"_ba);
    writeRow("key with line break", "[data]\r\n"_ba, "data"_ba, "a\nb"_ba, "1"_ba, "[data]\r\n"_ba);
    writeRow("line would be a header", "[data]\r\n[x=0\r\n"_ba, "data"_ba, "[x"_ba, "y]"_ba,
             "[data]\r\n[x=0\r\n"_ba);
    writeRow("section with line break", "[data]\r\n"_ba, "da\nta"_ba, "k"_ba, "1"_ba,
             "[data]\r\n"_ba);
}

void IniFile32Test::writeString()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, expected);
    QVERIFY(writeFile(m_path, file));
    TIniFile32 ini(m_path);
    ini.WriteString(section, key, value);
    QCOMPARE(readFile(m_path), expected);
    QCOMPARE(TIniFile32(m_path).Lines(), ini.Lines());
}

void IniFile32Test::editSection_onePassAsWriteString()
{
    QVERIFY(writeFile(m_path, "[title]\r\na=1\r\nb=2\r\nx\r\na=3\r\n[c=x\r\n[data]\r\nd=4\r\n"));
    TIniFile32 ini(m_path);
    QList<bool> firsts;
    ini.editSection(
        "title",
        [&](const QByteArray& key, QByteArrayView value, bool first) -> std::optional<QByteArray> {
            firsts.append(first);
            if (key == "b")
                return std::nullopt;
            // A line break is stored as a space; a value that would make a section header is not.
            return key == "[c" ? QByteArray("]") : value.toByteArray() + "\n!";
        });
    QCOMPARE(firsts, QList<bool>({true, true, false, true}));
    QCOMPARE(readFile(m_path), "[title]\r\na=1 !\r\nx\r\na=3 !\r\n[c=x\r\n[data]\r\nd=4\r\n"_ba);
}

void IniFile32Test::writeNumbers_readBack()
{
    TIniFile32 ini(m_path);
    ini.WriteInteger("data", "min", std::numeric_limits<qint32>::min());
    ini.WriteInteger("data", "size", 9);
    ini.WriteBool("data", "on", true);
    ini.WriteBool("data", "off", false);
    QCOMPARE(readFile(m_path), "\r\n[data]\r\nmin=-2147483648\r\nsize=9\r\non=1\r\noff=0\r\n"_ba);
    const TIniFile32 reloaded(m_path);
    QCOMPARE(reloaded.ReadInteger("data", "min", 0), std::numeric_limits<qint32>::min());
    QCOMPARE(reloaded.ReadBool("data", "on", false), true);
    QCOMPARE(reloaded.ReadBool("data", "off", true), false);
}

void IniFile32Test::writeFailure_keepsOldFileAndChange_data()
{
    QTest::addColumn<bool>("immutable");

    // Moving the folder away and leaving a plain file in its place stops any user, root too.
    QTest::newRow("folder replaced by a file") << false;
    QTest::newRow("writable file in an immutable folder") << true;
}

void IniFile32Test::writeFailure_keepsOldFileAndChange()
{
    QFETCH(bool, immutable);
    const QString folder = m_dir->filePath(u"home"_s);
    const QString path = folder + u"/diary.ini"_s;
    QVERIFY(QDir().mkdir(folder));
    const QByteArray old = "[data]\r\nsize=9\r\n"_ba;
    QVERIFY(writeFile(path, old));
    TIniFile32 ini(path);

    // An immutable folder stops root too; the file in it stays writable.
    std::optional<Immutable> frozen;
    const QString moved = m_dir->filePath(u"moved"_s);
    const auto unblock = [&] {
        if (frozen)
            frozen->lift();
        else if (QFile::exists(moved)) {
            QFile::remove(folder);
            QDir().rename(moved, folder);
        }
    };
    const auto guard = qScopeGuard(unblock);
    if (immutable) {
        frozen.emplace(folder);
    } else {
        QVERIFY(QDir().rename(folder, moved));
        QVERIFY(writeFile(folder, "not a folder"));
    }

    try {
        ini.WriteString("data", "size", "12");
        QFAIL("the write did not fail");
    } catch (const DiaryError& error) {
        QVERIFY(error.message().startsWith(u"ﾌｧｲﾙ %1 を作成できません"_s.arg(path)));
    }
    QCOMPARE(ini.ReadString("data", "size", ""), "12"_ba);

    const QString oldPath = immutable ? path : moved + u"/diary.ini"_s;
    QCOMPARE(readFile(oldPath), old);
    unblock();
    ini.WriteString("data", "name", "A");
    QCOMPARE(readFile(path), "[data]\r\nsize=12\r\nname=A\r\n"_ba);
}

void IniFile32Test::unreadableFile_throwsCannotOpen_data()
{
    QTest::addColumn<QString>("kind");

    QTest::newRow("folder at the path") << u"folder"_s;
    QTest::newRow("file that cannot be read") << u"fault"_s;
    QTest::newRow("link to an endless device") << u"zero"_s;
    QTest::newRow("pipe") << u"fifo"_s;
    QTest::newRow("5 GiB, sparse") << u"huge"_s;
}

void IniFile32Test::unreadableFile_throwsCannotOpen()
{
    QFETCH(QString, kind);
    const auto reset = qScopeGuard([] { SafeFile::faultHook() = {}; });
    if (kind == u"folder") {
        QVERIFY(QDir().mkdir(m_path));
    } else if (kind == u"zero") {
        QVERIFY(QFile::link(u"/dev/zero"_s, m_path));
    } else if (kind == u"fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(m_path).constData(), 0600), 0);
    } else if (kind == u"huge") {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(5) << 30));
    } else {
        QVERIFY(writeFile(m_path, "[data]\r\n"));
        SafeFile::faultHook() = [](SafeFile::Step step, const QString&) {
            return step == SafeFile::Step::Read ? EACCES : 0;
        };
    }
    try {
        TIniFile32 ini(m_path);
        QFAIL("the file was opened");
    } catch (const DiaryError& error) {
        QVERIFY2(error.message().startsWith(u"ﾌｧｲﾙ %1 は開けません"_s.arg(m_path)),
                 qPrintable(error.message()));
    }
}

void IniFile32Test::linkAtPath_neverReadNorWritten_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<bool>("refusedToRead");
    QTest::newRow("there at the start") << u"load"_s << true;
    QTest::newRow("planted before a reload") << u"reload"_s << true;
    QTest::newRow("planted before a write") << u"write"_s << false;
    QTest::newRow("leading nowhere at the first write") << u"dangling"_s << true;
}

// A sync peer's link to a file of the user's: writing the settings through it would overwrite
// that file.
void IniFile32Test::linkAtPath_neverReadNorWritten()
{
    QFETCH(QString, when);
    QFETCH(bool, refusedToRead);
    const QString outside = m_dir->filePath(u"outside"_s);
    const QByteArray theirs = "alias ls='rm -rf ~'\n"_ba;
    if (when != u"dangling")
        QVERIFY(writeFile(outside, theirs));
    const auto plantLink = [&] {
        QFile::remove(m_path);
        QVERIFY(QFile::link(outside, m_path));
    };
    std::optional<TIniFile32> ini;
    try {
        if (when == u"load" || when == u"dangling")
            plantLink();
        else
            QVERIFY(writeFile(m_path, "[data]\r\nleft=1\r\n"));
        if (when != u"dangling")
            ini.emplace(m_path);
        if (when == u"reload" || when == u"write") {
            plantLink();
            if (when == u"reload")
                ini->reload();
        }
        if (!ini)
            ini.emplace(m_path);
        QVERIFY2(!refusedToRead, "the link was read");
        ini->WriteString("data", "left", "2");
        QFAIL("the link was followed");
    } catch (const DiaryError& error) {
        QCOMPARE(error.message(), DiaryError::notOwnFile(m_path).message());
    }
    QVERIFY(QFileInfo(m_path).isSymLink());
    if (when == u"dangling")
        QVERIFY(!QFileInfo::exists(outside));
    else
        QCOMPARE(SafeFile::read(outside), theirs);
}

void IniFile32Test::textAfterNul_keptThroughWrites_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("NUL on a line of its own")
        << "[title]\r\n20240101=a\r\n\0\r\n20240102=b\r\n[data]\r\nleft=3\r\n"_ba
        << "[title]\r\n20240101=a\r\n20240103=c\r\n\0\r\n20240102=b\r\n[data]\r\nleft=3\r\n"_ba;
    QTest::newRow("NUL inside a title")
        << "[title]\r\n20240101=a\0tail\r\n[data]\r\n"_ba
        << "[title]\r\n20240101=a\r\n20240103=c\r\n\0tail\r\n[data]\r\n"_ba;
    QTest::newRow("NUL at the end") << "[title]\r\n\0"_ba
                                    << "[title]\r\n20240103=c\r\n\0"_ba;
}

void IniFile32Test::textAfterNul_keptThroughWrites()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, written);
    QVERIFY(writeFile(m_path, file));
    {
        TIniFile32 ini(m_path);
        // What follows the NUL is not read.
        QCOMPARE(ini.ReadString("data", "left", "none"), "none"_ba);
        ini.WriteString("title", "20240103", "c");
        QCOMPARE(readFile(m_path), written);
    }
    // The next start reads the same and writes the same again.
    TIniFile32 again(m_path);
    again.WriteString("title", "20240103", "c");
    QCOMPARE(readFile(m_path), written);
}

void IniFile32Test::garbageFile_neverCrashes_data()
{
    QTest::addColumn<QByteArray>("file");

    QRandomGenerator random(20240105);
    QByteArray noise(1 << 16, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    QTest::newRow("random bytes") << noise;
    noise.replace('\0', '\1');
    QTest::newRow("100 MB without NUL") << noise.repeated(1600);
    QTest::newRow("1 MB line") << QByteArray(1 << 20, 'a') + "=b";
    QTest::newRow("only [") << QByteArray(1 << 20, '[');
    QTest::newRow("only NUL") << QByteArray(1 << 10, '\0');
    QTest::newRow("only line breaks") << "\r\n\n\r"_ba.repeated(1 << 18);
}

void IniFile32Test::garbageFile_neverCrashes()
{
    QFETCH(QByteArray, file);
    QVERIFY(writeFile(m_path, file));
    TIniFile32 ini(m_path);
    QCOMPARE(ini.ReadInteger("data", "size", 5), 5);
    ini.WriteString("data", "size", "9");

    const TIniFile32 reloaded(m_path);
    QCOMPARE(reloaded.ReadInteger("data", "size", 5), 9);
    QVERIFY(reloaded.Lines() == ini.Lines());
}

void IniFile32Test::writeOnce_startsFromDisk_writesOnlyChangedBytes_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("arrived"); // written by another program after the load
    QTest::addColumn<QStringList>("writes"); // section|key|value
    QTest::addColumn<int>("saves");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray data = "[data]\r\na=1\r\n"_ba;
    QTest::newRow("same values") << data << QByteArray() << QStringList{"data|a|1"} << 0 << data;
    QTest::newRow("two values, one write")
        << data << QByteArray() << QStringList{"data|a|2", "data|b|3"} << 1
        << "[data]\r\na=2\r\nb=3\r\n"_ba;
    QTest::newRow("LF file, same values")
        << "[data]\na=1"_ba << QByteArray() << QStringList{"data|a|1"} << 1 << data;
    QTest::newRow("a title that arrived stays")
        << "[title]\r\n1=x\r\n"_ba
        << "[title]\r\n1=x\r\n2=y\r\n"_ba << QStringList{"title|3|z"} << 1
        << "[title]\r\n1=x\r\n2=y\r\n3=z\r\n"_ba;
    QTest::newRow("arrived file, nothing to add")
        << data << "[data]\r\na=5\r\n"_ba << QStringList{"data|a|5"} << 0 << "[data]\r\na=5\r\n"_ba;
}

void IniFile32Test::writeOnce_startsFromDisk_writesOnlyChangedBytes()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, arrived);
    QFETCH(QStringList, writes);
    QVERIFY(writeFile(m_path, file));
    TIniFile32 ini(m_path);
    if (!arrived.isEmpty())
        SafeFile::write(m_path, arrived);
    int saves = 0;
    SafeFile::faultHook() = [&](SafeFile::Step step, const QString&) {
        saves += step == SafeFile::Step::Create;
        return 0;
    };
    const auto unhook = qScopeGuard([] { SafeFile::faultHook() = {}; });
    ini.reload();
    ini.writeOnce([&] {
        for (const QString& write : writes) {
            const QStringList parts = write.split(u'|');
            ini.WriteString(parts[0].toLatin1(), parts[1].toLatin1(), parts[2].toLatin1());
        }
    });
    QTEST(saves, "saves");
    QTEST(readFile(m_path), "expected");
}

QTEST_GUILESS_MAIN(IniFile32Test)
#include "IniFile32Test.moc"
