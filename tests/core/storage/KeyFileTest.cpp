#include "core/storage/KeyFile.h"
#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"

#include <QTest>
#include <QtEndian>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Path = u"/d/diary.key"_s;
const QString Passphrase = u"晴れた日が好き"_s;
const QString Code = u"K1R3-F6WP-ZHTQ-B81N-NBZN-TP35"_s;
const QString OtherCode = u"4Y4R-V3VG-RJBY-RGPY-VW0Y-Y1G6"_s;
// Where the fields begin: magic, version, flags, counter, diary id, slot count, first slot; in a
// slot: kind, id, salt, ops, memory, nonce, wrapped key. A file of two slots ends with the
// revoked count, the revoked ids and the tag.
constexpr qsizetype CounterAt = 6;
constexpr qsizetype CountAt = 30;
constexpr qsizetype SlotsAt = 31;
constexpr qsizetype SaltAt = SlotsAt + 17;
constexpr qsizetype OpsAt = SlotsAt + 33;
constexpr qsizetype MemAt = OpsAt + 8;
constexpr qsizetype SlotBytes = 121;
constexpr qsizetype TagBytes = 32;
constexpr quint64 GiB = quint64(1) << 30;

// A version 1 file as the program wrote it before: the key 'k' x 32, the id 'i' x 16, the
// passphrase "passphrase" and a recovery code, each slot of the smallest limits.
const QByteArray Version1 = QByteArray::fromHex(
    "54514b590100020000000000000069696969696969696969696969696969ae36e1dec8a1d214717c252cd9d6"
    "d0639d9c9087912e7c5746fb351f0152e3280201c26c9f5bdf75481d29bb8ed084f025f8cccdedf6ff6a5e63"
    "e5f19ef2848a8e42010000000000000000200000000000001a5b1d80f332b058679077c959fdbb0f0fb2fd73"
    "2f5844767620b9c4a97da6e1a5f5a360cc0f59d6b5dec5c125c8cd77a7a3df0202689e4e02a8fe7e4aca23cc"
    "0b7064ec1cc0a563029a8680f08204aac3c0ddeaccbd3df5e58e871be5de1eccc4cbd5f7aada55b14e010000"
    "00000000000020000000000000f0f94d743af581379f0482d4ffdb10626148ba8d3b38972c548a4f38ba30c3"
    "6f92522cf6d332df3d4b4eab309a55804451cfe9e2abb932f9a5454997e7e289591748ec4284e36366");

QByteArray withU64(QByteArray bytes, qsizetype at, quint64 value)
{
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

// The file with one more slot: a copy of its first, under another id and with other limits.
QByteArray withJunkSlot(const QByteArray& file, quint64 ops, quint64 memBytes)
{
    QByteArray slot = file.mid(SlotsAt, SlotBytes);
    slot[1] = char(slot[1] ^ 0x5a);
    slot = withU64(withU64(slot, OpsAt - SlotsAt, ops), MemAt - SlotsAt, memBytes);
    QByteArray bytes = file;
    bytes[CountAt] = char(bytes[CountAt] + 1);
    return bytes.insert(SlotsAt, slot);
}

} // namespace

class KeyFileTest : public QObject
{
    Q_OBJECT

    std::optional<DiaryKey> m_key;
    std::optional<KeyFile> m_file;

    KeyFile changed(const std::function<void(KeyFile&)>& change) const
    {
        KeyFile file = *m_file;
        change(file);
        return file;
    }

private slots:
    void initTestCase()
    {
        KdfLimits::forNewSlots() = KdfLimits::minimum();
        m_key = DiaryKey::generate();
        m_file = KeyFile::create(*m_key, Passphrase, Code);
    }

    void unlock_data()
    {
        QTest::addColumn<QByteArrayList>("files");
        QTest::addColumn<QString>("secret");
        // "opens", "no", or what the refusal says.
        QTest::addColumn<QString>("outcome");

        const QByteArray file = m_file->bytes();
        const QString opens = u"opens"_s;
        const QString no = u"no"_s;
        const QString tooMuch = u"大きすぎるか小さすぎ"_s;
        QTest::newRow("slot memory just over 1 GiB, refused before deriving")
            << QByteArrayList{withU64(file, MemAt, GiB + 1024)} << Passphrase << tooMuch;
        QTest::newRow("slot passes over four times the standard")
            << QByteArrayList{withU64(file, OpsAt, 13)} << Passphrase << tooMuch;
        QTest::newRow("1 GiB at 4 passes: more work than four standard slots")
            << QByteArrayList{withU64(withU64(file, MemAt, GiB), OpsAt, 4)} << Passphrase
            << tooMuch;
        QTest::newRow("absurd limits")
            << QByteArrayList{withU64(file, MemAt, quint64(1) << 40), withU64(file, OpsAt, 0),
                              withU64(file, MemAt, 1024)}
            << Passphrase << tooMuch;
        QTest::newRow("junk slots beyond one unlock's work, refused before deriving")
            << QByteArrayList{withJunkSlot(withJunkSlot(file, 3, GiB), 3, GiB)} << Passphrase
            << u"計算が多すぎます"_s;
        QByteArray many = file;
        many[CountAt] = 33;
        QTest::newRow("33 slots") << QByteArrayList{many} << Passphrase << u"鍵の数 (33)"_s;
        QByteArray none = file.first(SlotsAt);
        none[CountAt] = 0;
        QTest::newRow("no slot") << QByteArrayList{none} << Passphrase << u"鍵の数 (0)"_s;

        const QString cut = u"途中で切れて"_s;
        QTest::newRow("truncated at each field")
            << QByteArrayList{file.first(4),  file.first(5),   file.first(6),   file.first(14),
                              file.first(30), file.first(31),  file.first(32),  file.first(64),
                              file.first(80), file.first(152), file.first(273), file.first(274),
                              file.chopped(1)}
            << Passphrase << cut;
        QTest::newRow("not a key file") << QByteArrayList{""_ba, "TQK"_ba, "TQSL"_ba + file.mid(4)}
                                        << Passphrase << u"鍵ﾌｧｲﾙではありません"_s;
        QTest::newRow("bytes after the end")
            << QByteArrayList{file + '\0'} << Passphrase << u"余分な"_s;
        QByteArray newer = file;
        newer[4] = 3;
        QTest::newRow("unknown version") << QByteArrayList{newer} << Passphrase << u"(版 3)"_s;
        QByteArray flagged = file;
        flagged[5] = 8;
        QByteArray oldFlagged = Version1;
        oldFlagged[5] = 2;
        QTest::newRow("unknown flag")
            << QByteArrayList{flagged, oldFlagged} << Passphrase << u"知らない印"_s;
        QByteArray kind = file;
        kind[SlotsAt] = 3;
        QTest::newRow("unknown slot kind")
            << QByteArrayList{kind} << Passphrase << u"知らない種類"_s;

        QTest::newRow("passphrase") << QByteArrayList{file} << Passphrase << opens;
        QTest::newRow("decomposed passphrase")
            << QByteArrayList{file} << Passphrase.normalized(QString::NormalizationForm_D) << opens;
        QTest::newRow("wrong passphrase") << QByteArrayList{file} << u"晴れた日か好き"_s << no;
        QTest::newRow("recovery code as typed")
            << QByteArrayList{file} << Code.toLower().remove(u'-') << opens;
        QTest::newRow("a typo in the code is not a code")
            << QByteArrayList{file} << QString(Code).replace(u'W', u'X') << no;
        const KeyFile renewed = changed([&](KeyFile& f) {
            f.setPassphrase(*m_key, u"新しい"_s);
            f.setRecoveryCode(*m_key, OtherCode);
        });
        QTest::newRow("changed: old passphrase")
            << QByteArrayList{renewed.bytes()} << Passphrase << no;
        QTest::newRow("changed: new passphrase")
            << QByteArrayList{renewed.bytes()} << u"新しい"_s << opens;
        QTest::newRow("changed: old code") << QByteArrayList{renewed.bytes()} << Code << no;
        QTest::newRow("changed: new code") << QByteArrayList{renewed.bytes()} << OtherCode << opens;
        QTest::newRow("passphrase changed, code kept")
            << QByteArrayList{changed([&](KeyFile& f) { f.setPassphrase(*m_key, u"x"_s); }).bytes()}
            << Code << opens;
    }

    void unlock()
    {
        QFETCH(QByteArrayList, files);
        QFETCH(QString, secret);
        QFETCH(QString, outcome);
        for (const QByteArray& bytes : files) {
            try {
                const KeyFile file = KeyFile::parse(bytes, Path);
                QCOMPARE(file.bytes(), bytes);
                KdfBudget budget;
                const std::optional<DiaryKey> key = file.unlock(secret, budget);
                QVERIFY2(outcome == u"opens"_s || outcome == u"no"_s,
                         qPrintable(QString::fromLatin1(bytes.toHex())));
                QCOMPARE(key.has_value(), outcome == u"opens"_s);
                if (key) {
                    QCOMPARE(key->key().view(), m_key->key().view());
                    QVERIFY(file.verifies(*key));
                }
            } catch (const DiaryError& e) {
                QVERIFY2(e.message().contains(Path) && e.message().contains(outcome),
                         qPrintable(e.message()));
            }
        }
    }

    void altered_failsVerification_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray file = m_file->bytes();
        QByteArray flag = file;
        flag[5] = 1;
        QTest::newRow("turning off set without the key") << flag;
        flag[5] = 2;
        QTest::newRow("turning on set without the key") << flag;
        QTest::newRow("higher counter, tag kept") << withU64(file, CounterAt, 99);
        QByteArray stripped = file;
        stripped.remove(SlotsAt + SlotBytes, SlotBytes);
        stripped[CountAt] = 1;
        QTest::newRow("recovery slot stripped") << stripped;
        const QByteArray renewed =
            changed([&](KeyFile& f) { f.setRecoveryCode(*m_key, OtherCode); }).bytes();
        QByteArray revived = renewed;
        revived.insert(SlotsAt, file.mid(SlotsAt + SlotBytes, SlotBytes));
        revived[CountAt] = 3;
        QTest::newRow("revoked slot added back") << revived;
        QByteArray unrevoked = renewed;
        unrevoked.remove(renewed.size() - TagBytes - 16, 16);
        unrevoked[unrevoked.size() - TagBytes - 2] = 0;
        QTest::newRow("revoked list emptied") << unrevoked;
        QTest::newRow("recovery slot's limits altered")
            << withU64(file, MemAt + SlotBytes, (quint64(1) << 20) * 9);
        QByteArray tag = file;
        tag[tag.size() - 1] = char(tag[tag.size() - 1] ^ 1);
        QTest::newRow("tag altered") << tag;
    }

    // What the passphrase still opens, the key does not verify: the file is not the owner's.
    void altered_failsVerification()
    {
        QFETCH(QByteArray, bytes);
        const KeyFile file = KeyFile::parse(bytes, Path);
        const std::optional<DiaryKey> key = file.unlock(Passphrase);
        QVERIFY(key);
        QVERIFY(!file.verifies(*key));
        QVERIFY(m_file->verifies(*key));
    }

    // The old form opens and verifies as far as it can, and is written in the new one.
    void version1_readAndUpgraded()
    {
        KeyFile file = KeyFile::parse(Version1, Path);
        QCOMPARE(file.version(), 1);
        QCOMPARE(file.bytes(), Version1);
        std::optional<DiaryKey> key = file.unlock(u"passphrase"_s);
        QVERIFY(key && file.verifies(*key));
        QCOMPARE(key->key().view(), QByteArray(DiaryKey::KeyBytes, 'k'));
        QByteArray forged = Version1;
        forged[5] = 1;
        QVERIFY(!KeyFile::parse(forged, Path).verifies(*key));

        file.upgrade(*key);
        const KeyFile read = KeyFile::parse(file.bytes(), Path);
        QCOMPARE(read.version(), 2);
        QVERIFY(read.verifies(*key));
        QVERIFY(read.unlock(u"passphrase"_s));
        QCOMPARE(read.counter(), quint64(3));
    }

    // Every slot has a salt and a nonce of its own: one passphrase twice gives other bytes.
    void create_freshSaltsAndNonces()
    {
        const QByteArray a = KeyFile::create(*m_key, Passphrase, Code).bytes();
        const QByteArray b = KeyFile::create(*m_key, Passphrase, Code).bytes();
        QVERIFY(a.mid(SaltAt, 16) != b.mid(SaltAt, 16));
        QVERIFY(a.mid(MemAt + 8, 24) != b.mid(MemAt + 8, 24));
    }

    void setPassphrase_refusesWhatReadsAsACode()
    {
        KeyFile file = *m_file;
        QVERIFY_THROWS_EXCEPTION(DiaryError, file.setPassphrase(*m_key, Code.toLower()));
        QVERIFY_THROWS_EXCEPTION(DiaryError, file.setRecoveryCode(*m_key, Code + u"0"_s));
        QVERIFY_THROWS_EXCEPTION(DiaryError, file.setTurningOff(DiaryKey::generate(), true));
        QCOMPARE(file.bytes(), m_file->bytes());
    }

    // Each computer changed the passphrase of one diary: both open the merged file, whichever
    // way it is folded, the passphrase both replaced stays shut, and the newer copy's flag stands.
    void merged_keepsEveryWayIn_neverARevokedOne()
    {
        const KeyFile a = changed([&](KeyFile& f) { f.setPassphrase(*m_key, u"alpha"_s); });
        const KeyFile b = changed([&](KeyFile& f) {
            f.setPassphrase(*m_key, u"beta"_s);
            f.setTurningOff(*m_key, true);
        });
        for (const KeyFile& merged :
             {KeyFile::merged(a, b, *m_key, Path), KeyFile::merged(b, a, *m_key, Path),
              KeyFile::merged(KeyFile::merged(a, *m_file, *m_key, Path), b, *m_key, Path)}) {
            const KeyFile read = KeyFile::parse(merged.bytes(), Path);
            QVERIFY(read.verifies(*m_key));
            for (const QString& secret : {u"alpha"_s, u"beta"_s, Code})
                QVERIFY2(read.unlock(secret), qPrintable(secret));
            QVERIFY(!read.unlock(Passphrase));
            QVERIFY(read.turningOff());
        }
        QCOMPARE(KeyFile::merged(a, b, *m_key, Path).bytes(),
                 KeyFile::merged(b, a, *m_key, Path).bytes());
        QCOMPARE(KeyFile::merged(a, a, *m_key, Path).bytes(), a.bytes());

        const KeyFile stranger = KeyFile::create(DiaryKey::generate(), Passphrase, Code);
        QVERIFY_THROWS_EXCEPTION(DiaryError, KeyFile::merged(a, stranger, *m_key, Path));
    }

    // Slots from copies of many computers: 32 fit in one file, the 33rd is refused.
    void merged_boundedTo32Slots()
    {
        KeyFile gathered = *m_file;
        for (int i = 0; i < 32; ++i) {
            KeyFile other = *m_file;
            other.setRecoveryCode(*m_key, i % 2 ? Code : OtherCode);
            if (i < 31)
                gathered = KeyFile::merged(gathered, other, *m_key, Path);
            else
                QVERIFY_THROWS_EXCEPTION(DiaryError,
                                         KeyFile::merged(gathered, other, *m_key, Path));
        }
    }
};

QTEST_GUILESS_MAIN(KeyFileTest)
#include "KeyFileTest.moc"
