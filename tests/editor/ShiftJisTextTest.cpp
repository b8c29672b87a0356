#include "editor/ShiftJisText.h"
#include "core/storage/CodePage932.h"

#include <QTest>

// Offsets in code page 932 bytes against positions in the text.
class ShiftJisTextTest : public QObject
{
    Q_OBJECT

private slots:
    void offsets_data()
    {
        QTest::addColumn<QByteArray>("bytes");   // as stored, CR LF between lines
        QTest::addColumn<QList<int>>("offsets"); // of every position, and the end
        QTest::newRow("empty") << QByteArray() << QList<int>{0};
        QTest::newRow("single bytes") << QByteArray("ab") << QList<int>{0, 1, 2};
        QTest::newRow("double bytes") << QByteArray("\x82\xa0\x82\xa2") // あい
                                      << QList<int>{0, 2, 4};
        QTest::newRow("mixed, half-width kana") << QByteArray("a\x88\x9f\xb1z") // a亜ｱz
                                                << QList<int>{0, 1, 3, 4, 5};
        QTest::newRow("line break is two bytes")
            << QByteArray("a\r\n\x82\xa0") << QList<int>{0, 1, 3, 5};
        QTest::newRow("trail byte that looks like a letter") << QByteArray("\x83\x41"
                                                                           "A") // アA
                                                             << QList<int>{0, 2, 3};
        QTest::newRow("bytes with no character")
            << QByteArray("\x80\xa0\x81 x\xff") << QList<int>{0, 1, 2, 3, 4, 5, 6};
        QTest::newRow("lead byte cut off at the end") << QByteArray("a\x82") << QList<int>{0, 1, 2};
    }

    void offsets()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, offsets);
        QString text = CodePage932::decode(bytes);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        const ShiftJisText sjis(text);
        QCOMPARE(sjis.bytes(), bytes);
        QCOMPARE(sjis.length() + 1, offsets.size());
        for (int position = 0; position < offsets.size(); ++position) {
            const int offset = offsets[position];
            QCOMPARE(sjis.byteOffset(position), offset);
            QCOMPARE(sjis.position(offset), position);
            QVERIFY(sjis.startsCharacter(offset));
            // Every byte of a character leads back to it.
            const int next = position + 1 < offsets.size() ? offsets[position + 1] : offset;
            for (int inside = offset + 1; inside < next; ++inside) {
                QCOMPARE(sjis.position(inside), position);
                QVERIFY(!sjis.startsCharacter(inside));
                QCOMPARE(sjis.nextCharacter(inside), next);
            }
        }
    }

    // 😀 is its reference, one character of nine bytes; no offset falls between its halves.
    void characterCodePage932CannotHold_isOneCharacterOfItsReference()
    {
        const ShiftJisText sjis(QStringLiteral("a\U0001F600b"));
        QCOMPARE(sjis.bytes(), QByteArray("a&#x1F600;b"));
        QCOMPARE(QList<int>({sjis.byteOffset(1), sjis.byteOffset(2), sjis.byteOffset(3)}),
                 QList<int>({1, 10, 10}));
        QCOMPARE(QList<int>({sjis.position(1), sjis.position(9), sjis.position(10)}),
                 QList<int>({1, 1, 3}));
    }

    void outOfRange_isClamped()
    {
        const ShiftJisText sjis(QStringLiteral("ab"));
        QCOMPARE(sjis.byteOffset(-1), 0);
        QCOMPARE(sjis.byteOffset(9), 2);
        QCOMPARE(sjis.position(9), 2);
        QCOMPARE(sjis.position(-3), 0);
    }
};

QTEST_GUILESS_MAIN(ShiftJisTextTest)
#include "ShiftJisTextTest.moc"
