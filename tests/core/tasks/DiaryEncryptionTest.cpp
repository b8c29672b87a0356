#include "core/tasks/DiaryEncryption.h"
#include "core/diary/Diary.h"
#include "core/diary/Recovery.h"
#include "core/diary/Settings.h"
#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/IniFile32.h"
#include "core/storage/KdfLimits.h"
#include "core/storage/KeyFile.h"
#include "core/storage/RecoveryCode.h"
#include "core/storage/SafeFile.h"
#include "core/storage/SealedBytes.h"
#include "core/tasks/DiaryExport.h"
#include "core/tasks/DiarySearch.h"
#include "core/tasks/RecordCounter.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <unistd.h>

namespace {
const QString Pass = QStringLiteral("correct horse");
const QString Keys[] = {"20240101", "20240102", "20240103"};

// A diary as years leave it: a byte that is no character, a day that begins with the letters a
// sealed file begins with, an empty day, an untitled day, a reversible password in the settings.
void writeDiary(const QString& folder)
{
    QDir().mkpath(folder + "/data");
    SafeFile::write(folder + "/data/20240101", CodePage932::encode("元日\r\n初詣"));
    SafeFile::write(folder + "/data/20240102", QByteArray("TQSL\x81\r\nb", 8));
    SafeFile::write(folder + "/data/20240103", {});
    SafeFile::write(folder + "/diary.ini", "[data]\r\npassword=xyz\r\nusepassword=1\r\n[title]\r\n"
                                           "20240101=" +
                                               CodePage932::encode("晴れ") + "\r\n20240102=\r\n");
}

// Every file under folder with its bytes, the lock aside.
QMap<QString, QByteArray> files(const QString& folder)
{
    QMap<QString, QByteArray> all;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith("diary.lock"))
            all.insert(QDir(folder).relativeFilePath(path), SafeFile::read(path));
    }
    return all;
}

QString allText(Diary& diary)
{
    QString text;
    for (const QString& key : Keys)
        text += diary.readTitle(key) + "|" + diary.readBody(key) + "|";
    return text;
}
} // namespace

class DiaryEncryptionTest : public QObject
{
    Q_OBJECT

    enum Mode
    {
        On,
        Off,
        Anew
    };
    enum Forge
    {
        TurningOffMark,
        SlotStripped,
        CounterRaised,
        LinkOutside,
        OtherOwner,
        OldFile
    };

private:
    std::unique_ptr<QTemporaryDir> m_work;
    QString m_folder;
    QString m_plainText;
    DiaryRecord::Totals m_plainRecord;

    // The diary encrypted with Pass; returns the recovery code.
    QString encrypt()
    {
        Diary diary(m_folder);
        const QString code = DiaryEncryption::turnOn(diary, Pass);
        DiaryEncryption::finish(diary);
        return code;
    }

private slots:
    void initTestCase() { KdfLimits::forNewSlots() = KdfLimits::minimum(); }

    void init()
    {
        m_work = std::make_unique<QTemporaryDir>();
        m_folder = m_work->filePath("diary");
        writeDiary(m_folder);
        Diary diary(m_folder);
        m_plainText = allText(diary);
        RecordCounter counter(diary.days());
        counter.refresh();
        m_plainRecord = counter.record().total();
    }

    void passphrase_rule_data()
    {
        QTest::addColumn<QString>("passphrase");
        QTest::addColumn<bool>("taken");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("seven characters") << "1234567" << false;
        QTest::newRow("seven outside the BMP, fourteen code units")
            << QString("😀").repeated(7) << false;
        QTest::newRow("a recovery code's form") << RecoveryCode::generate() << false;
        QTest::newRow("one typed loosely")
            << RecoveryCode::generate().remove('-').toLower() << false;
        QTest::newRow("eight characters") << "12345678" << true;
        QTest::newRow("eight outside the BMP") << QString("😀").repeated(8) << true;
        QTest::newRow("long, no upper limit") << QString("長い").repeated(500) << true;
    }

    // A refused passphrase says why and leaves the diary as it was.
    void passphrase_rule()
    {
        QFETCH(QString, passphrase);
        QFETCH(bool, taken);
        QCOMPARE(DiaryEncryption::whyNotPassphrase(passphrase).isEmpty(), taken);
        if (taken)
            return;
        const auto before = files(m_folder);
        Diary diary(m_folder);
        QVERIFY_THROWS_EXCEPTION(DiaryError, DiaryEncryption::turnOn(diary, passphrase));
        QVERIFY(!diary.isEncrypted());
        QCOMPARE(files(m_folder), before);
    }

    // Until unlocked, nothing of an encrypted diary is read or written; a wrong passphrase opens
    // nothing.
    void locked_readsAndWritesNothing()
    {
        encrypt();
        const auto before = files(m_folder);
        Diary diary(m_folder);
        QVERIFY(diary.isEncrypted() && !diary.isUnlocked());
        const std::function<void()> uses[] = {[&] { diary.readBody("20240101"); },
                                              [&] { diary.readTitle("20240101"); },
                                              [&] { diary.titles(); },
                                              [&] { diary.loadDay("20240103"); },
                                              [&] { diary.days(); },
                                              [&] { diary.saveDay("20240104", "t", "b"); },
                                              [&] { diary.writeTitle("20240104", "t"); }};
        for (const auto& use : uses)
            QVERIFY_THROWS_EXCEPTION(DiaryError, use());
        QVERIFY(!diary.unlock("wrong passphrase"));
        QVERIFY(!diary.isUnlocked());
        QCOMPARE(files(m_folder), before);
        QVERIFY(diary.unlock(Pass));
        QVERIFY(!diary.unlockedByRecoveryCode());
        QCOMPARE(allText(diary), m_plainText);
    }

    void sealed_movedElsewhere_doesNotOpen_data()
    {
        QTest::addColumn<bool>("title");
        QTest::newRow("a day's file renamed to another date") << false;
        QTest::newRow("a title moved to another date") << true;
    }

    void sealed_movedElsewhere_doesNotOpen()
    {
        QFETCH(bool, title);
        encrypt();
        if (title) {
            TIniFile32 ini(m_folder + "/diary.ini");
            ini.WriteString("title", "20240103", ini.ReadString("title", "20240101", {}));
        } else {
            QFile::remove(m_folder + "/data/20240103");
            QFile::copy(m_folder + "/data/20240101", m_folder + "/data/20240103");
        }
        Diary diary(m_folder);
        QVERIFY(diary.unlock(Pass));
        QVERIFY_THROWS_EXCEPTION(DiaryError,
                                 title ? diary.readTitle("20240103") : diary.readBody("20240103"));
        QCOMPARE(diary.readBody("20240101"), QString("元日\n初詣"));
    }

    // On: no plain text anywhere in the folder, the reversible password gone, and every task
    // sees the days. Off again: every day and title byte for byte as it was.
    void turnOnThenOff_everyByteBack()
    {
        auto before = files(m_folder);
        const QString code = encrypt();
        for (const QByteArray& bytes : files(m_folder)) {
            for (const QByteArray& plain :
                 {CodePage932::encode("初詣"), CodePage932::encode("晴れ"), QByteArray("TQSL\x81")})
                QVERIFY(!bytes.contains(plain));
            QVERIFY(!bytes.contains("password=xyz") && !bytes.contains("usepassword=1"));
        }
        Diary diary(m_folder);
        QVERIFY(diary.unlock(code));
        QVERIFY(diary.unlockedByRecoveryCode());
        QCOMPARE(allText(diary), m_plainText);
        QVERIFY(!DiaryEncryption::needsFinishing(diary));
        QVERIFY(DiaryExport::render(m_folder, DiaryExport::Format::Text, {}, {}, TaskProgress(),
                                    diary.key())
                    .document.contains("晴れ\n\n元日\n初詣"));
        QVERIFY_THROWS_EXCEPTION(DiaryError,
                                 DiaryExport::render(m_folder, DiaryExport::Format::Text));
        DiarySearch search(diary.days(), diary.titles());
        QList<SearchHit> hits;
        search.run(
            SearchMatcher("晴れ 初詣"), [] { return false; },
            [&](QList<SearchHit>&& batch) { hits += batch; });
        QCOMPARE(hits.size(), 1);
        RecordCounter counter(diary.days());
        counter.refresh();
        QCOMPARE(counter.record().total().characters, m_plainRecord.characters);
        QCOMPARE(counter.record().total().unreadable, 0);
        // The window writes back the settings it read: the password does not come back.
        Settings settings;
        settings.password = "xyz";
        settings.usePassword = true;
        diary.writeSettings(settings);
        QVERIFY(Settings::read(TIniFile32(m_folder + "/diary.ini"), {}, {}).password.isEmpty());

        DiaryEncryption::turnOff(diary);
        DiaryEncryption::finish(diary, TaskProgress(), true);
        QVERIFY(!diary.isEncrypted());
        QCOMPARE(TIniFile32(m_folder + "/diary.ini").ReadSectionValues("title"),
                 TIniFile32::sectionValuesOf(before.take("diary.ini"), "title"));
        auto after = files(m_folder);
        after.remove("diary.ini");
        QCOMPARE(after, before);
    }

    void conversion_stoppedAtAnyWrite_everyDayReads_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("failing");
        QTest::addColumn<bool>("encrypted");
        // On: diary.key, the three days, diary.ini, diary.key's mark cleared. Off: diary.key,
        // the days, diary.ini, diary.key's removal. Anew: as on. 0: the sync of the days' new
        // files before the first takes its place.
        for (int n = 0; n <= 6; ++n)
            QTest::addRow("on, write %d fails", n) << int(On) << n << (n != 1);
        for (int n = 0; n <= 6; ++n)
            QTest::addRow("off, write %d fails", n) << int(Off) << n << (n == 1);
        for (int n = 0; n <= 6; ++n)
            QTest::addRow("keyed anew, write %d fails", n) << int(Anew) << n << true;
    }

    // A conversion stopped at any write (a kill, a full disk) leaves every day readable with the
    // passphrase, and the next finish() completes it: keyed anew, every day is sealed under the
    // new key then.
    void conversion_stoppedAtAnyWrite_everyDayReads()
    {
        QFETCH(int, mode);
        QFETCH(int, failing);
        QFETCH(bool, encrypted);
        if (mode != On)
            encrypt();
        const QByteArray oldKeyFile = mode == Anew ? SafeFile::read(m_folder + "/diary.key") : "";
        int writes = 0;
        const auto reset = qScopeGuard([] { SafeFile::faultHook() = {}; });
        SafeFile::faultHook() = [&](SafeFile::Step step, const QString& path) {
            // What this computer keeps of the diary, outside it, is no step of the conversion.
            if (!path.startsWith(m_folder))
                return 0;
            if (failing == 0)
                return step == SafeFile::Step::Sync && path.contains("/data/") ? EIO : 0;
            const bool last = step == SafeFile::Step::Commit || step == SafeFile::Step::Remove;
            return last && ++writes == failing ? ENOSPC : 0;
        };
        {
            Diary diary(m_folder);
            QVERIFY(diary.unlock(Pass));
            QVERIFY_THROWS_EXCEPTION(DiaryError, {
                if (mode == On)
                    DiaryEncryption::turnOn(diary, Pass);
                else if (mode == Off)
                    DiaryEncryption::turnOff(diary);
                else
                    DiaryEncryption::rekey(diary, Pass);
                DiaryEncryption::finish(diary, TaskProgress(), true);
            });
        }
        SafeFile::faultHook() = {};
        QCOMPARE(QDir(m_folder + "/data").count(), qsizetype(5)); // ".", ".." and the days
        Diary diary(m_folder);
        QVERIFY(diary.unlock(Pass));
        QCOMPARE(allText(diary), m_plainText);
        // Only the turn-off asks: the others were explained by the key file's mark.
        DiaryEncryption::finish(diary, TaskProgress(), mode == Off);
        QCOMPARE(diary.isEncrypted(), encrypted);
        QVERIFY(!DiaryEncryption::needsFinishing(diary));
        for (const QString& key : Keys)
            QCOMPARE(DayStore::isSealed(SafeFile::read(m_folder + "/data/" + key)), encrypted);
        QCOMPARE(allText(diary), m_plainText);
        if (mode == Anew && failing != 1) {
            QVERIFY(!diary.key()->previous());
            const KeyFile old = KeyFile::parse(oldKeyFile, "old");
            const std::shared_ptr<const DiaryKey> oldKey =
                std::make_shared<const DiaryKey>(*old.unlock(Pass));
            for (const QString& key : Keys)
                QVERIFY_THROWS_EXCEPTION(DiaryError,
                                         DayStore(m_folder + "/data", oldKey).readBody(key));
        }
    }

    void keyFileFromAWriter_neverActedOn_data()
    {
        QTest::addColumn<int>("forge");
        // Swapped in for diary.key while the diary is open, or planted as a sync tool's copy.
        QTest::addColumn<bool>("live");
        QTest::addColumn<bool>("setAside");
        const std::pair<const char*, Forge> forges[] = {
            {"turning-off mark set", TurningOffMark},   {"recovery slot stripped", SlotStripped},
            {"higher counter, bad tag", CounterRaised}, {"a link to a file outside", LinkOutside},
            {"owned by another user", OtherOwner},
        };
        for (const auto& [name, forge] : forges) {
            QTest::addRow("%s, live", name) << int(forge) << true << true;
            QTest::addRow("%s, copy", name) << int(forge) << false << true;
        }
        QTest::newRow("the file before the passphrase changed, live")
            << int(OldFile) << true << false;
        QTest::newRow("the file before the passphrase changed, copy")
            << int(OldFile) << false << false;
    }

    // Nothing a writer of the folder puts at diary.key or beside it turns the diary plain,
    // shuts a way in or opens a revoked one: a file the key does not verify is set aside and
    // told, never merged, written over nor removed.
    void keyFileFromAWriter_neverActedOn()
    {
        QFETCH(int, forge);
        QFETCH(bool, live);
        QFETCH(bool, setAside);
        const QString code = encrypt();
        const QString keyPath = m_folder + "/diary.key";
        const QByteArray old = SafeFile::read(keyPath);
        {
            Diary diary(m_folder);
            QVERIFY(diary.unlock(Pass));
            DiaryEncryption::changePassphrase(diary, "passphrase two");
        }
        const QByteArray good = SafeFile::read(keyPath);
        const QString outside = m_work->filePath("outside");
        SafeFile::write(outside, good);
        const auto plant = [&](const QString& path) {
            QFile::remove(path);
            QByteArray bytes = good;
            switch (Forge(forge)) {
            case TurningOffMark:
                bytes[5] = char(bytes[5] | 1);
                break;
            case SlotStripped:
                bytes.remove(31, 121);
                bytes[30] = 1;
                break;
            case CounterRaised:
                bytes[6] = char(bytes[6] + 10);
                bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 1);
                break;
            case LinkOutside:
                QVERIFY(QFile::link(outside, path));
                return;
            case OtherOwner:
                SafeFile::write(path, good);
                QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
                return;
            case OldFile:
                bytes = old;
                break;
            }
            SafeFile::write(path, bytes);
        };
        QStringList told;
        if (live) {
            Diary diary(m_folder);
            QVERIFY(diary.unlock("passphrase two"));
            plant(keyPath);
            try {
                DiaryEncryption::changePassphrase(diary, "passphrase two");
                QVERIFY(!setAside);
            } catch (const DiaryError& error) {
                told << error.message();
            }
        } else {
            plant(m_folder + "/diary.sync-conflict-20240102-101010-ABCDEFG.key");
            Diary diary(m_folder);
            QVERIFY(diary.unlock("passphrase two"));
            told = diary.foldConflicts().setAside;
        }
        const QStringList rejected =
            QDir(m_folder).entryList({"rejected-key-*"}, QDir::System | QDir::Files);
        QCOMPARE(rejected.size(), setAside ? 1 : 0);
        QCOMPARE(told.size(), setAside ? 1 : 0);
        if (setAside)
            QVERIFY2(told[0].contains(rejected[0]), qPrintable(told[0]));
        QCOMPARE(SafeFile::read(outside), good);
        QVERIFY(QFileInfo(keyPath).isFile() && !QFileInfo(keyPath).isSymLink());
        for (const QString& secret : {QStringLiteral("passphrase two"), code}) {
            Diary diary(m_folder);
            QVERIFY2(diary.unlock(secret), qPrintable(secret));
            QCOMPARE(DiaryEncryption::pending(diary), DiaryEncryption::Pending::Nothing);
            QCOMPARE(allText(diary), m_plainText);
        }
        Diary diary(m_folder);
        QVERIFY(!diary.unlock(Pass));
        for (const QString& key : Keys)
            QVERIFY(DayStore::isSealed(SafeFile::read(m_folder + "/data/" + key)));
    }

    void plainContent_convertedOnlyWhenAgreed_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<int>("pending");
        QTest::newRow("a plain day") << "day" << int(DiaryEncryption::Pending::PlainContent);
        QTest::newRow("a plain title") << "title" << int(DiaryEncryption::Pending::PlainContent);
        QTest::newRow("a turn-off pending") << "off" << int(DiaryEncryption::Pending::TurningOff);
    }

    // Plain days no turning on explains, and a pending turn-off, are shown to the owner: finish()
    // changes nothing until the owner agrees.
    void plainContent_convertedOnlyWhenAgreed()
    {
        QFETCH(QString, planted);
        QFETCH(int, pending);
        encrypt();
        if (planted == "day")
            SafeFile::write(m_folder + "/data/20240110", CodePage932::encode("置かれた"));
        if (planted == "title")
            TIniFile32(m_folder + "/diary.ini")
                .WriteString("title", "20240103", CodePage932::encode("置かれた"));
        if (planted == "off") {
            Diary diary(m_folder);
            QVERIFY(diary.unlock(Pass));
            DiaryEncryption::turnOff(diary);
        }
        Diary diary(m_folder);
        QVERIFY(diary.unlock(Pass));
        QCOMPARE(int(DiaryEncryption::pending(diary)), pending);
        const auto before = files(m_folder);
        QVERIFY_THROWS_EXCEPTION(DiaryError, DiaryEncryption::finish(diary));
        QCOMPARE(files(m_folder), before);
        if (planted != "off") {
            const QStringList days = DiaryEncryption::plainDays(diary);
            QCOMPARE(days, QStringList{planted == "day" ? "20240110" : "20240103"});
            QVERIFY(DiaryEncryption::plainNotice(days).contains("1 日分"));
        }
        DiaryEncryption::finish(diary, TaskProgress(), true);
        QCOMPARE(diary.isEncrypted(), planted != "off");
        QVERIFY(!DiaryEncryption::needsFinishing(diary));
        // Plain again once turned off; sealed, the planted text, otherwise.
        const QByteArray text = CodePage932::encode(planted == "off" ? "初詣" : "置かれた");
        const auto all = files(m_folder);
        QCOMPARE(std::any_of(all.cbegin(), all.cend(),
                             [&](const QByteArray& bytes) { return bytes.contains(text); }),
                 planted == "off");
    }

    // What another computer changed in diary.key stays when this one changes it: a recovery code
    // made there survives a passphrase changed here, and a passphrase set there in a sync tool's
    // copy opens the diary at start-up.
    void otherComputersChange_kept()
    {
        const QString code = encrypt();
        QString thereCode = RecoveryCode::generate();
        {
            Diary diary(m_folder);
            QVERIFY(diary.unlock(Pass));
            KeyFile there = KeyFile::parse(SafeFile::read(m_folder + "/diary.key"), "there");
            there.setRecoveryCode(*diary.key(), thereCode);
            SafeFile::write(m_folder + "/diary.key", there.bytes());
            DiaryEncryption::changePassphrase(diary, "passphrase here");
            KeyFile copy = there;
            copy.setPassphrase(*diary.key(), "passphrase there");
            SafeFile::write(m_folder + "/diary.sync-conflict-20240102-101010-ABCDEFG.key",
                            copy.bytes());
        }
        // The copy's passphrase first: the live file does not know it yet.
        for (const QString& secret :
             {QStringLiteral("passphrase there"), thereCode, QStringLiteral("passphrase here")}) {
            Diary diary(m_folder);
            QVERIFY2(diary.unlock(secret), qPrintable(secret));
        }
        Diary diary(m_folder);
        QVERIFY(!diary.unlock(code));
    }

    // Nothing unchanged is written again: a finished conversion, a day saved as it was, a new
    // passphrase or recovery code (only diary.key).
    void unchanged_neverRewritten()
    {
        encrypt();
        QString code;
        {
            Diary diary(m_folder);
            QVERIFY(diary.unlock(Pass));
            auto before = files(m_folder);
            QCOMPARE(DiaryEncryption::finish(diary), 0);
            const Diary::DayText day = diary.loadDay("20240101");
            diary.saveDay("20240101", day.title, day.body);
            QCOMPARE(files(m_folder), before);
            QVERIFY_THROWS_EXCEPTION(DiaryError, DiaryEncryption::changePassphrase(diary, "short"));
            DiaryEncryption::changePassphrase(diary, "a new passphrase");
            code = DiaryEncryption::newRecoveryCode(diary);
            auto after = files(m_folder);
            QVERIFY(after.take("diary.key") != before.take("diary.key"));
            QCOMPARE(after, before);
        }
        Diary diary(m_folder);
        QVERIFY(!diary.unlock(Pass));
        QVERIFY(diary.unlock(code));
        QCOMPARE(allText(diary), m_plainText);
    }

    // A sync tool's copy of a sealed day opens and merges as a plain one does.
    void syncCopies_fold()
    {
        encrypt();
        const QString dayCopy = m_folder + "/data/20240101.sync-conflict-20240102-101010-ABCDEFG";
        {
            Diary diary(m_folder);
            QVERIFY(diary.unlock(Pass));
            diary.loadDay("20240101");
            diary.saveDay("20240101", "晴れ", "よそで書いた");
            QFile::copy(m_folder + "/data/20240101", dayCopy);
            diary.saveDay("20240101", "晴れ", "元日\n初詣");
            const Diary::Folded folded = diary.foldConflicts();
            QVERIFY2(folded.setAside.isEmpty(), qPrintable(folded.setAside.join('\n')));
            QVERIFY(diary.readBody("20240101").contains("よそで書いた"));
            QVERIFY(diary.readBody("20240101").startsWith("元日\n初詣"));
            QVERIFY(SealedBytes::isSealed(SafeFile::read(m_folder + "/data/20240101")));
        }
        QVERIFY(!QFile::exists(dayCopy));
    }

    // The text of a save that failed is kept sealed, and opens with the diary's key.
    void recoveryFile_sealed()
    {
        encrypt();
        Diary diary(m_folder);
        QVERIFY(diary.unlock(Pass));
        const QString path = diary.writeRecovery({m_work->filePath("recovery")}, "20240101", "晴れ",
                                                 "初詣", QDateTime(QDate(2024, 1, 1), QTime(9, 0)));
        QVERIFY(!SafeFile::read(path).contains("初詣"));
        QVERIFY(Recovery::open(path, *diary.key()).contains("題名: 晴れ\n\n初詣"));
    }
};

QTEST_GUILESS_MAIN(DiaryEncryptionTest)
#include "DiaryEncryptionTest.moc"
