#include "core/storage/SealedBytes.h"
#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"

#include <QTest>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

enum Opener
{
    SameKey,
    OtherKey,
    OtherDiary,
};

const QString Path = u"/d/data/20240315"_s;
const QByteArray Day = "day 20240315"_ba;

} // namespace

class SealedBytesTest : public QObject
{
    Q_OBJECT

    std::optional<DiaryKey> m_key = DiaryKey::generate();
    std::optional<DiaryKey> m_otherKey = DiaryKey::generate();
    // The same key bytes under another diary's id.
    std::optional<DiaryKey> m_otherDiary =
        DiaryKey(SecretBytes::copyOf(m_key->key().view()), m_otherKey->diaryId());

    const DiaryKey& opener(int which) const
    {
        return which == OtherKey ? *m_otherKey : which == OtherDiary ? *m_otherDiary : *m_key;
    }

private slots:
    void open_data()
    {
        QTest::addColumn<QByteArrayList>("inputs");
        QTest::addColumn<bool>("asText");
        QTest::addColumn<int>("opener");
        QTest::addColumn<QByteArray>("context");
        // Empty: the inputs open to plain; else what the refusal says.
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QByteArray>("plain");

        const QByteArray plain = "\x8d\xa1\x93\xfa\r\n"_ba;
        const QByteArray sealed = SealedBytes::seal(*m_key, plain, Day);
        const QString wrong = u"鍵が違うか"_s;
        const QString cut = u"途中で切れて"_s;

        QTest::newRow("round trip")
            << QByteArrayList{sealed} << false << int(SameKey) << Day << QString() << plain;
        QTest::newRow("empty plain text") << QByteArrayList{SealedBytes::seal(*m_key, "", Day)}
                                          << false << int(SameKey) << Day << QString() << ""_ba;
        QTest::newRow("round trip as text")
            << QByteArrayList{SealedBytes::sealText(*m_key, plain, "title 20240315")} << true
            << int(SameKey) << "title 20240315"_ba << QString() << plain;

        QTest::newRow("wrong key")
            << QByteArrayList{sealed} << false << int(OtherKey) << Day << wrong << ""_ba;
        QTest::newRow("another day") << QByteArrayList{sealed} << false << int(SameKey)
                                     << "day 20240316"_ba << wrong << ""_ba;
        QTest::newRow("another diary")
            << QByteArrayList{sealed} << false << int(OtherDiary) << Day << wrong << ""_ba;
        QTest::newRow("title under another date")
            << QByteArrayList{SealedBytes::sealText(*m_key, plain, "title 20240315")} << true
            << int(SameKey) << "title 20240316"_ba << wrong << ""_ba;

        // Cut in the version, the nonce, the tag; then inside the sealed text.
        QTest::newRow("truncated at each field")
            << QByteArrayList{sealed.first(4), sealed.first(5), sealed.first(29), sealed.first(44)}
            << false << int(SameKey) << Day << cut << ""_ba;
        QTest::newRow("truncated in the text")
            << QByteArrayList{sealed.first(sealed.size() - 1), sealed.first(45)} << false
            << int(SameKey) << Day << wrong << ""_ba;
        QTest::newRow("cut inside the magic, empty")
            << QByteArrayList{sealed.first(3), ""_ba} << false << int(SameKey) << Day
            << u"暗号化されたﾌｧｲﾙではありません"_s << ""_ba;

        QByteArray newer = sealed;
        newer[4] = 2;
        QTest::newRow("unknown version")
            << QByteArrayList{newer} << false << int(SameKey) << Day << u"(版 2)"_s << ""_ba;

        const QByteArray small = SealedBytes::seal(*m_key, "abc", Day);
        QByteArrayList flipped;
        for (qsizetype i = 0; i < small.size(); ++i) {
            flipped << small;
            flipped.last()[i] = char(flipped.last()[i] ^ 0x20);
        }
        QTest::newRow("one byte flipped anywhere")
            << flipped << false << int(SameKey) << Day << Path << ""_ba;

        const QByteArray text = SealedBytes::sealText(*m_key, "abcd", "t");
        QByteArray starred = text;
        starred[12] = '*';
        QTest::newRow("text garbage") << QByteArrayList{starred, text + "\n", text.chopped(1),
                                                        text.first(8), "VFFTTAE=!!!!"_ba}
                                      << true << int(SameKey) << "t"_ba << Path << ""_ba;
    }

    void open()
    {
        QFETCH(QByteArrayList, inputs);
        QFETCH(bool, asText);
        QFETCH(int, opener);
        QFETCH(QByteArray, context);
        QFETCH(QString, refusal);
        QFETCH(QByteArray, plain);
        const DiaryKey& key = this->opener(opener);
        for (const QByteArray& input : inputs) {
            try {
                const QByteArray opened = asText ? SealedBytes::openText(key, input, context, Path)
                                                 : SealedBytes::open(key, input, context, Path);
                QVERIFY2(refusal.isEmpty(), input.toHex().constData());
                QCOMPARE(opened, plain);
                QVERIFY(asText ? SealedBytes::isSealedText(input) : SealedBytes::isSealed(input));
            } catch (const DiaryError& e) {
                QVERIFY2(!refusal.isEmpty(), qPrintable(e.message()));
                QVERIFY2(e.message().contains(Path) && e.message().contains(refusal),
                         qPrintable(e.message() + u" / "_s + QString::fromLatin1(input.toHex())));
            }
        }
    }

    // A nonce of its own each time: the same text sealed twice tells nothing.
    void seal_twice_otherBytes()
    {
        QVERIFY(SealedBytes::seal(*m_key, "same", Day) != SealedBytes::seal(*m_key, "same", Day));
    }

    void isSealedText_plainTitlesAreNot()
    {
        QVERIFY(!SealedBytes::isSealedText("VFFTTA"));
        QVERIFY(!SealedBytes::isSealedText("aGVsbG8gd29ybGQ="));
        QVERIFY(!SealedBytes::isSealedText(u"晴れ、散歩"_s.toUtf8()));
        QVERIFY(!SealedBytes::isSealed("TQS"));
    }
};

QTEST_GUILESS_MAIN(SealedBytesTest)
#include "SealedBytesTest.moc"
