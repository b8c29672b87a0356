#include "editor/HotSpot.h"

#include <QTest>

// Hot spots found in the text, and what the mouse is over. "[" and "]" stand for the markers.
class HotSpotTest : public QObject
{
    Q_OBJECT

private:
    static THotSpot brackets()
    {
        THotSpot spot;
        spot.BeginChar = QLatin1Char('[');
        spot.EndChar = QLatin1Char(']');
        spot.Active = true;
        spot.Color = 1;
        spot.MarkerColor = 2;
        return spot;
    }

private slots:
    void scan_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("levels"); // M marker, T text, . none, per byte
        QTest::newRow("markers and text") << "a[bc]d"
                                          << ".MTTM.";
        QTest::newRow("two spots") << "[a][b]"
                                   << "MTMMTM";
        QTest::newRow("markers next to each other: no text") << "[]x"
                                                             << "MM.";
        QTest::newRow("a second begin marker is text") << "[a [b]"
                                                       << "MTTTTM";
        QTest::newRow("no end marker: nothing") << "a [b"
                                                << "....";
        QTest::newRow("double-byte text between") << "[\u3042]"
                                                  << "MTTM";
    }

    void scan()
    {
        QFETCH(QString, text);
        QFETCH(QString, levels);
        const ShiftJisText sjis(text);
        TKeyDescrList list;
        brackets().scan(sjis, 0, list);
        QString result(sjis.byteCount(), u'.');
        for (const TKeyDescr& entry : list) {
            for (int at = entry.BegPos; at <= entry.EndPos; ++at) {
                const bool marker = entry.Level == TKeyDescr::MarkerLevel;
                QCOMPARE(entry.Color, TColor(marker ? 2 : 1));
                result[at] = marker ? u'M' : u'T';
            }
        }
        QCOMPARE(result, levels);
    }

    void scan_inactiveOrWithoutBeginChar_findsNothing()
    {
        THotSpot spot = brackets();
        TKeyDescrList list;
        spot.Active = false;
        spot.scan(ShiftJisText(QStringLiteral("[a]")), 0, list);
        spot.Active = true;
        spot.BeginChar = QChar(0);
        spot.scan(ShiftJisText(QStringLiteral("[a]")), 0, list);
        QCOMPARE(list.count(), 0);
    }

    // An emoji is held as its reference, "&#x1F600;": a marker never matches part of it.
    void scan_markerNeverMatchesPartOfAnEmoji()
    {
        THotSpot spot = brackets();
        spot.BeginChar = QLatin1Char('&');
        TKeyDescrList list;
        spot.scan(ShiftJisText(QStringLiteral("\U0001F600]")), 0, list);
        QCOMPARE(list.count(), 0);
    }

    void click_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("spot"); // "-" when not over one
        QTest::newRow("inside") << "see [link] now" << 6 << "link";
        QTest::newRow("first character") << "see [link] now" << 5 << "link";
        QTest::newRow("on the end marker") << "see [link] now" << 9 << "link";
        QTest::newRow("after the spot") << "see [link] now" << 11 << "-";
        QTest::newRow("before the begin marker") << "see [link] now" << 1 << "-";
        QTest::newRow("on the begin marker") << "see [link] now" << 4 << "-";
        QTest::newRow("opened on an earlier line") << "nk] more" << 1 << "nk";
        QTest::newRow("end of the line") << "ab" << 2 << "-";
    }

    void click()
    {
        QFETCH(QString, line);
        QFETCH(int, index);
        QFETCH(QString, spot);
        const THotSpot hotSpot = brackets();
        QCOMPARE(hotSpot.isOver(QStringView(line).mid(index)), spot != QLatin1String("-"));
        QCOMPARE(hotSpot.clickedText(line, index).value_or(QStringLiteral("-")), spot);
    }

    void sameCharacterForBothMarkers_isOverBeforeAnyMarker()
    {
        THotSpot spot = brackets();
        spot.EndChar = spot.BeginChar;
        QVERIFY(spot.isOver(u"ab[c"));
        QVERIFY(!spot.isOver(u"abc"));
    }
};

QTEST_MAIN(HotSpotTest)
#include "HotSpotTest.moc"
