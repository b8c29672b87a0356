#include "core/storage/Spelling.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Breaks = Spelling::Breaks;

class SpellingTest : public QObject
{
    Q_OBJECT

private slots:
    void bytesFor_changesOnlyTheEditedPart_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Breaks>("breaks");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QByteArray>("written");
        // ∵ as NEC 879A and as JIS 81E6 in one file: an edit between them keeps both.
        const QByteArray mixed = "\x87\x9a|\x81\xe6"_ba;
        QTest::newRow("unchanged") << mixed << Breaks::Kept << u"∵|∵"_s << mixed;
        QTest::newRow("typed between")
            << mixed << Breaks::Kept << u"∵|x|∵"_s << "\x87\x9a|x|\x81\xe6"_ba;
        QTest::newRow("a typed copy takes the first spelling")
            << mixed << Breaks::Kept << u"∵|∵∵"_s << "\x87\x9a|\x81\xe6\x87\x9a"_ba;
        QTest::newRow("deleted in the middle")
            << mixed << Breaks::Kept << u"∵∵"_s << "\x87\x9a\x81\xe6"_ba;
        // ≒ as 81E0 and NEC 8790, 纊 as NEC ED40 and IBM FA5C, untouched between two edits.
        QTest::newRow("two edits far apart")
            << "a\x81\xe0\x87\x90\xed\x40\xfa\x5c\x62"_ba << Breaks::Kept << u"1a≒≒纊纊b2"_s
            << "1a\x81\xe0\x87\x90\xed\x40\xfa\x5c\x62\x32"_ba;
        QTest::newRow("three edits, every break kept")
            << "a\rb\nc\r\nd"_ba << Breaks::Collapsed << u"xa\nb!\nc\n"_s << "xa\rb!\nc\r\n"_ba;
        QTest::newRow("everything replaced") << mixed << Breaks::Kept << u"a"_s << "a"_ba;
        QTest::newRow("lone LF kept, new break CR LF")
            << "a\nb"_ba << Breaks::Collapsed << u"a\nb\nc"_s << "a\nb\r\nc"_ba;
        QTest::newRow("lone CR kept") << "a\rb"_ba << Breaks::Collapsed << u"xa\nb"_s << "xa\rb"_ba;
        // Kept bytes that would join new ones: a CR before a new LF byte would read as one
        // break, a lone lead byte before a new letter as a kanji. The whole text is converted.
        QTest::newRow("lead byte before new text")
            << "\x81"_ba << Breaks::Kept << QString(QChar(0xF781)) + u" "_s << "\x81 "_ba;
        QTest::newRow("lead byte before a typed letter")
            << "\x81"_ba << Breaks::Kept << QString(QChar(0xF781)) + u"A"_s << "&#xF781;A"_ba;
        // 😀 and 😁 share their first UTF-16 unit: the two differ in the whole character, and
        // the rest of the file is kept as it was.
        QTest::newRow("emoji changed beside a lone CR")
            << "a\rb&#x1F600;"_ba << Breaks::Collapsed << u"a\nb😁"_s << "a\rb&#x1F601;"_ba;
        // 😀 and 🨀 share their second unit.
        QTest::newRow("emoji changed before a lone CR")
            << "&#x1F600;a\rb"_ba << Breaks::Collapsed << u"🨀a\nb"_s << "&#x1FA00;a\rb"_ba;
        QTest::newRow("emoji changed beside both spellings")
            << mixed + "&#x1F600;"_ba << Breaks::Kept << u"∵|∵😁"_s
            << "\x87\x9a|\x81\xe6&#x1F601;"_ba;
        QTest::newRow("empty file")
            << QByteArray() << Breaks::Collapsed << u"あ\n"_s << "\x82\xa0\r\n"_ba;
    }

    void bytesFor_changesOnlyTheEditedPart()
    {
        QFETCH(QByteArray, file);
        QFETCH(Breaks, breaks);
        QFETCH(QString, edited);
        QFETCH(QByteArray, written);
        const Spelling spelling(file, breaks);
        const QByteArray bytes = spelling.bytesFor(edited);
        QCOMPARE(bytes, written);
        QCOMPARE(Spelling(bytes, breaks).text(), edited);
    }
};

QTEST_GUILESS_MAIN(SpellingTest)
#include "SpellingTest.moc"
