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
// Where the fields begin: magic, version, flags, counter, diary id, tag, slot count, first slot;
// in a slot: kind, id, salt, ops, memory, nonce, wrapped key.
constexpr qsizetype SlotsAt = 63;
constexpr qsizetype OpsAt = SlotsAt + 33;
constexpr qsizetype MemAt = OpsAt + 8;

QByteArray withU64(QByteArray bytes, qsizetype at, quint64 value)
{
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
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
        QTest::newRow("passphrase") << QByteArrayList{file} << Passphrase << opens;
        QTest::newRow("decomposed passphrase")
            << QByteArrayList{file} << Passphrase.normalized(QString::NormalizationForm_D) << opens;
        QTest::newRow("wrong passphrase") << QByteArrayList{file} << u"晴れた日か好き"_s << no;
        QTest::newRow("empty passphrase") << QByteArrayList{file} << QString() << no;
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

        const QString cut = u"途中で切れて"_s;
        QTest::newRow("truncated at each field")
            << QByteArrayList{file.first(4),   file.first(5),  file.first(6),   file.first(14),
                              file.first(30),  file.first(62), file.first(63),  file.first(64),
                              file.first(80),  file.first(96), file.first(104), file.first(112),
                              file.first(136), file.chopped(1)}
            << Passphrase << cut;
        QTest::newRow("not a key file") << QByteArrayList{""_ba, "TQK"_ba, "TQSL"_ba + file.mid(4)}
                                        << Passphrase << u"鍵ﾌｧｲﾙではありません"_s;
        QTest::newRow("bytes after the end")
            << QByteArrayList{file + '\0'} << Passphrase << u"余分な"_s;

        QByteArray newer = file;
        newer[4] = 2;
        QTest::newRow("unknown version") << QByteArrayList{newer} << Passphrase << u"(版 2)"_s;
        QByteArray flagged = file;
        flagged[5] = 2;
        QTest::newRow("unknown flag") << QByteArrayList{flagged} << Passphrase << u"知らない印"_s;
        QByteArray kind = file;
        kind[SlotsAt] = 3;
        QTest::newRow("unknown slot kind")
            << QByteArrayList{kind} << Passphrase << u"知らない種類"_s;
        QByteArray none = file.first(SlotsAt);
        none[SlotsAt - 1] = 0;
        QTest::newRow("no slot") << QByteArrayList{none} << Passphrase << u"鍵の数 (0)"_s;

        QTest::newRow("absurd limits")
            << QByteArrayList{withU64(file, MemAt, quint64(1) << 40), withU64(file, OpsAt, 65),
                              withU64(file, OpsAt, 0), withU64(file, MemAt, 1024)}
            << Passphrase << u"大きすぎるか小さすぎ"_s;

        QByteArray off = file;
        off[5] = 1;
        QTest::newRow("turning off set without the key")
            << QByteArrayList{off} << Passphrase << u"書き換えられて"_s;
        QTest::newRow("counter moved without the key")
            << QByteArrayList{withU64(file, 6, 99)} << Passphrase << u"書き換えられて"_s;
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
                const std::optional<DiaryKey> key = file.unlock(secret);
                QVERIFY2(outcome == u"opens"_s || outcome == u"no"_s,
                         qPrintable(QString::fromLatin1(bytes.toHex())));
                QCOMPARE(key.has_value(), outcome == u"opens"_s);
                if (key) {
                    QCOMPARE(key->key().view(), m_key->key().view());
                    QCOMPARE(key->diaryId(), m_key->diaryId());
                }
            } catch (const DiaryError& e) {
                QVERIFY2(e.message().contains(Path) && e.message().contains(outcome),
                         qPrintable(e.message()));
            }
        }
    }

    // Every byte counts: one flipped anywhere is refused, or shuts one way in, never opens
    // another key.
    void unlock_flippedByteAnywhere()
    {
        const QByteArray bytes = m_file->bytes();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            QByteArray flipped = bytes;
            flipped[i] = char(flipped[i] ^ 0x20);
            int shut = 0;
            try {
                const KeyFile file = KeyFile::parse(flipped, Path);
                for (const QString& secret : {Passphrase, Code}) {
                    const std::optional<DiaryKey> key = file.unlock(secret);
                    shut += !key;
                    QVERIFY(!key || key->key().view() == m_key->key().view());
                }
            } catch (const DiaryError&) {
                shut = 1;
            }
            QVERIFY2(shut > 0, qPrintable(u"byte %1"_s.arg(i)));
        }
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
    // way it is folded, and the newer copy's flag stands.
    void merged_keepsEveryWayIn()
    {
        const KeyFile a = changed([&](KeyFile& f) { f.setPassphrase(*m_key, u"alpha"_s); });
        const KeyFile b = changed([&](KeyFile& f) {
            f.setPassphrase(*m_key, u"beta"_s);
            f.setTurningOff(*m_key, true);
        });
        for (const KeyFile& merged : {KeyFile::merged(a, b, Path), KeyFile::merged(b, a, Path)}) {
            const KeyFile read = KeyFile::parse(merged.bytes(), Path);
            for (const QString& secret : {u"alpha"_s, u"beta"_s, Code})
                QVERIFY2(read.unlock(secret), qPrintable(secret));
            QVERIFY(read.turningOff());
            QCOMPARE(read.counter(), b.counter());
        }
        QCOMPARE(KeyFile::merged(a, b, Path).bytes(), KeyFile::merged(b, a, Path).bytes());

        const KeyFile stranger = KeyFile::create(DiaryKey::generate(), Passphrase, Code);
        QVERIFY_THROWS_EXCEPTION(DiaryError, KeyFile::merged(a, stranger, Path));
    }
};

QTEST_GUILESS_MAIN(KeyFileTest)
#include "KeyFileTest.moc"
