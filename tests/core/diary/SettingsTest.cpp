#include "core/diary/Settings.h"
#include "core/storage/IniFile32.h"
#include "core/storage/SafeFile.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
Settings readFrom(const QByteArray& data, QSize screen = {1365, 768})
{
    QTemporaryDir dir;
    const QString path = dir.filePath("diary.ini");
    if (!data.isNull())
        SafeFile::write(path, data);
    const TIniFile32 ini(path);
    return Settings::read(ini, screen, {320, 320});
}
} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void noFile_everyKeyTakesItsDefault()
    {
        const Settings s = readFrom(QByteArray());
        QCOMPARE(s.left, 522); // (1365 - 320) / 2 = 522.5, halves to the even neighbour
        QCOMPARE(s.top, 224);
        QCOMPARE(s.fontName, QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(s.fontSize, 9);
        QCOMPARE(s.companion, true);
        QCOMPARE(s.password, QString());
        QCOMPARE(s.userName, QStringLiteral("あなた"));
        QCOMPARE(s.usePassword, false);
        QCOMPARE(s.schemePath, QString());
        QCOMPARE(s.buttonPath, QString());
        QCOMPARE(s.scrollBar, false);
    }

    void centring_roundsHalvesToEven_data()
    {
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<int>("left");
        QTest::newRow("522.5") << 1365 << 522;
        QTest::newRow("523.5") << 1367 << 524;
        QTest::newRow("exact") << 1920 << 800;
        QTest::newRow("-0.5") << 319 << 0;
        QTest::newRow("-1.5") << 317 << -2;
    }

    void centring_roundsHalvesToEven()
    {
        QFETCH(int, screenWidth);
        QFETCH(int, left);
        QCOMPARE(readFrom(QByteArray(), {screenWidth, 768}).left, left);
    }

    void storedValues_areRead_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("hex font size") << QByteArray("fontsize=0x0C") << "fontSize" << QVariant(12);
        QTest::newRow("dollar hex") << QByteArray("fontsize=$10") << "fontSize" << QVariant(16);
        QTest::newRow("bad number") << QByteArray("fontsize=big") << "fontSize" << QVariant(9);
        QTest::newRow("empty name") << QByteArray("username=") << "userName" << QVariant("あなた");
        QTest::newRow("off screen") << QByteArray("left=-5000") << "left" << QVariant(-5000);
        QTest::newRow("bool any number")
            << QByteArray("scrollbar=7") << "scrollBar" << QVariant(true);
        QTest::newRow("companion off") << QByteArray("Mnikki=0") << "companion" << QVariant(false);
        QTest::newRow("key case") << QByteArray("mnikki=0") << "companion" << QVariant(true);
        QTest::newRow("shift-jis name")
            << QByteArray("username=\x83\x82\x83\x8B") << "userName" << QVariant("モル");
    }

    void storedValues_areRead()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        const Settings s = readFrom("[data]\r\n" + line + "\r\n");
        const QVariant actual = field == "fontSize"    ? QVariant(s.fontSize)
                                : field == "userName"  ? QVariant(s.userName)
                                : field == "left"      ? QVariant(s.left)
                                : field == "scrollBar" ? QVariant(s.scrollBar)
                                                       : QVariant(s.companion);
        QCOMPARE(actual, value);
    }

    void write_putsElevenKeysInOrder_andNeverTheUrl()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("diary.ini");
        TIniFile32 ini(path);
        Settings s = Settings::read(ini, {800, 600}, {320, 320});
        s.password = "pw";
        s.write(ini);
        const QByteArray file = SafeFile::read(path);
        const QByteArray head =
            "\r\n[data]\r\n"
            "fontname=\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e\r\n"
            "fontsize=9\r\nleft=240\r\ntop=140\r\nMnikki=1\r\n"
            "username=\x82\xa0\x82\xc8\x82\xbd\r\n";
        QVERIFY2(file.startsWith(head), file.constData());
        const QList<QByteArray> keys = [&] {
            QList<QByteArray> k;
            for (const QByteArray& line : file.split('\n')) {
                const int eq = line.indexOf('=');
                if (eq > 0)
                    k.append(line.left(eq));
            }
            return k;
        }();
        QCOMPARE(keys, (QList<QByteArray>{"fontname", "fontsize", "left", "top", "Mnikki",
                                          "username", "password", "usepassword", "schemepath",
                                          "buttonpath", "scrollbar"}));
        QVERIFY(file.endsWith("scrollbar=0\r\n"));
    }

    void url_keepsWhateverTheFileHolds()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("diary.ini");
        SafeFile::write(path, "[data]\r\nURL=http://mine.example/\r\n");
        TIniFile32 ini(path);
        const Settings s = Settings::read(ini, {800, 600}, {320, 320});
        QCOMPARE(s.url, QStringLiteral("http://mine.example/"));
        s.write(ini);
        QVERIFY(SafeFile::read(path).startsWith("[data]\r\nURL=http://mine.example/\r\n"));
    }
    // The user name and the font name spelled with the NEC copies of ∵ and 纊.
    void unchangedTexts_keepTheirSpelling()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("diary.ini");
        const QByteArray stored = "[data]\r\nfontname=\x87\x9a\r\nusername=\xed\x40\r\n";
        SafeFile::write(path, stored);
        TIniFile32 ini(path);
        Settings::read(ini, {1365, 768}, {320, 320}).write(ini);
        const QByteArray written = SafeFile::read(path);
        QVERIFY(written.startsWith(stored));
    }

    // What diary.ini could not give back unchanged is refused before it is taken over; what it
    // takes comes back as it was.
    void whyNotStorable_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("storable");
        QTest::newRow("japanese name") << "name" << QStringLiteral("花子") << true;
        QTest::newRow("eight-character password") << "password"
                                                  << "Abc12345" << true;
        QTest::newRow("name outside the code page") << "name" << QStringLiteral("🌈花子♡") << true;
        // The password's bytes are its own: what looks like a reference stays those characters.
        QTest::newRow("password like a reference") << "password"
                                                   << "&#x1F600;" << true;
        QTest::newRow("path outside the code page")
            << "path" << QStringLiteral("/caf\u00e9.bmp") << false;
        QTest::newRow("font name outside the code page")
            << "font" << QStringLiteral("Caf\u00e9") << false;
        // The first draw is 3: a control character scrambles to a blank the file would trim.
        QTest::newRow("password scrambled to a blank")
            << "password" << QStringLiteral("\x1d") << false;
    }
    void whyNotStorable()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(bool, storable);
        Settings s;
        const auto fieldOf = [&](Settings& settings) -> QString& {
            return field == "name"   ? settings.userName
                   : field == "path" ? settings.schemePath
                   : field == "font" ? settings.fontName
                                     : settings.password;
        };
        fieldOf(s) = value;
        QCOMPARE(s.whyNotStorable().isEmpty(), storable);
        if (field == "font")
            QCOMPARE(Settings::whyNotStorableFontName(value), s.whyNotStorable());
        if (storable) {
            QTemporaryDir dir;
            TIniFile32 ini(dir.filePath("diary.ini"));
            s.write(ini);
            Settings back =
                Settings::read(TIniFile32(dir.filePath("diary.ini")), {800, 600}, {320, 320});
            QCOMPARE(fieldOf(back), value);
        }
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "SettingsTest.moc"
