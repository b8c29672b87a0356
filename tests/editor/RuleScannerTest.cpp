#include "editor/RuleScanner.h"
#include "editor/CharacterMap.h"
#include "editor/OverlayRuns.h"

#include <QTest>

namespace {
// One letter per colour, so that a row shows the colour every byte ends in ("." when none).
const QList<std::pair<TColor, char>> Letters{{255, 'R'},     {16711680, 'B'}, {32768, 'G'},
                                             {8388608, 'N'}, {65535, 'Y'},    {0, 'K'}};

char letter(TColor color)
{
    for (const auto& [c, l] : Letters) {
        if (c == color)
            return l;
    }
    return '?';
}

TColor colorOf(char l)
{
    for (const auto& [c, ll] : Letters) {
        if (ll == l)
            return c;
    }
    return 0;
}

QByteArray picture(const ShiftJisText& text, const TKeyDescrList& runs)
{
    QByteArray result(text.byteCount(), '.');
    for (const TKeyDescr& run : runs) {
        for (int at = run.BegPos; at <= run.EndPos; ++at)
            result[at] = letter(run.Color);
    }
    return result;
}

QString scanned(TColorRule& rule, const QString& text, int from = 0)
{
    const ShiftJisText sjis(text);
    TKeyDescrList list;
    RuleScanner::scan(rule, sjis, from, list, {});
    CharacterMap().resolve(list);
    return QString::fromLatin1(picture(sjis, list));
}

// "aaa|bb" -> entries: each letter group of the pattern is one entry of that colour.
void addPattern(TKeyDescrList& list, const QByteArray& pattern, quint8 level)
{
    for (int at = 0; at < pattern.size(); ++at) {
        if (pattern[at] == '.')
            continue;
        int end = at;
        while (end + 1 < pattern.size() && pattern[end + 1] == pattern[at])
            ++end;
        list.add({at, end, colorOf(pattern[at]), level, 0});
        at = end;
    }
}
} // namespace

// The four ways a rule finds runs, and how overlapping runs resolve, byte by byte.
class RuleScannerTest : public QObject
{
    Q_OBJECT

private slots:
    void keyShow_data()
    {
        QTest::addColumn<QStringList>("keywords");
        QTest::addColumn<bool>("partWord");
        QTest::addColumn<bool>("keyCase");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colors");
        QTest::newRow("whole words") << QStringList{"if;blue"} << false << false << "if (x) if"
                                     << "BB.....BB";
        QTest::newRow("digits and punctuation are boundaries")
            << QStringList{"if;blue"} << false << false << "1if.if_"
            << ".BB.BB.";
        QTest::newRow("a letter on either side stops it")
            << QStringList{"if;blue"} << false << false << "xif ifx"
            << ".......";
        QTest::newRow("the at sign counts as a letter")
            << QStringList{"if;blue"} << false << false << "@if"
            << "...";
        QTest::newRow("inside words with PartWord")
            << QStringList{"if;blue"} << true << false << "xifx"
            << ".BB.";
        QTest::newRow("any case without KeyCase")
            << QStringList{"begin"} << false << false << "Begin BEGIN"
            << "RRRRR.RRRRR";
        QTest::newRow("exact case with KeyCase")
            << QStringList{"Begin"} << false << true << "Begin BEGIN"
            << "RRRRR......";
        QTest::newRow("later keyword wins an equal level")
            << QStringList{"ab;blue", "b;green"} << true << false << "ab"
            << "BG";
        QTest::newRow("double-byte keyword")
            << QStringList{"\u65E5\u8A18;navy"} << false << false << "1\u65E5\u8A18 "
            << ".NNNN.";
        QTest::newRow("never at a trail byte that looks like a letter")
            << QStringList{"A;blue"} << true << true << "\u30A2A"
            << "..B";
        QTest::newRow("a double-byte character is no letter")
            << QStringList{"if"} << false << false << "\u3042if\u3042"
            << "..RR..";
        // An emoji is one character of its reference's nine bytes.
        QTest::newRow("a question mark is no emoji")
            << QStringList{"?;blue"} << true << false << "\U0001F600?"
            << ".........B";
        QTest::newRow("an emoji keyword finds that emoji only")
            << QStringList{"\U0001F600;blue"} << true << false << "\U0001F308\U0001F600"
            << ".........BBBBBBBBB";
        QTest::newRow("nothing matches part of an emoji")
            << QStringList{"&;blue"} << true << false << "\U0001F600&"
            << ".........B";
    }

    void keyShow()
    {
        QFETCH(QStringList, keywords);
        QFETCH(bool, partWord);
        QFETCH(bool, keyCase);
        QFETCH(QString, text);
        QFETCH(QString, colors);
        TColorRule rule;
        rule.KeyDrawingType = dtKeyShow;
        rule.PartWord = partWord;
        rule.KeyCase = keyCase;
        rule.setKeywords(keywords);
        QCOMPARE(scanned(rule, text), colors);
    }

    void keyShow_startsAtTheScanStart()
    {
        TColorRule rule;
        rule.KeyDrawingType = dtKeyShow;
        rule.setKeywords({"ab"});
        QCOMPARE(scanned(rule, "ab ab", 1), QStringLiteral("...RR"));
        // The scan start is a boundary like the text's start.
        rule.setKeywords({"b"});
        QCOMPARE(scanned(rule, "ab", 1), QStringLiteral(".R"));
    }

    void keyShow_marksRunsDrawnByEvent()
    {
        TColorRule rule;
        rule.KeyDrawingType = dtKeyShow;
        rule.ZOrder = 4;
        rule.setKeywords({"k"});
        const ShiftJisText text(QStringLiteral("k"));
        TKeyDescrList list;
        RuleScanner::scan(rule, text, 0, list, {});
        QCOMPARE(list.count(), 1);
        QCOMPARE(list[0], (TKeyDescr{0, 0, 255, 4, 1}));
    }

    void beginEnd_data()
    {
        QTest::addColumn<QStringList>("pairs");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colors");
        QTest::newRow("from the begin key through the end key")
            << QStringList{"(*;*);blue"} << "a(*b*)c"
            << ".BBBBB.";
        QTest::newRow("across lines") << QStringList{"<;>"} << "a<b\nc>d"
                                      << ".RRRRRR.";
        QTest::newRow("several spans") << QStringList{"<;>"} << "<a><b>"
                                       << "RRRRRR";
        QTest::newRow("no end: nothing, and the scan ends") << QStringList{"<;>", "[;]"} << "<a [b]"
                                                            << "......";
        QTest::newRow("earliest begin key wins") << QStringList{"[;];blue", "<;>;green"} << "<[>]"
                                                 << "GGG.";
        QTest::newRow("same position: the one listed first")
            << QStringList{"<;>;blue", "<<;>;green"} << "<<a>"
            << "BBBB";
        QTest::newRow("an empty entry ends the list")
            << QStringList{"<;>", "bad", "[;]"} << "[a]<b>"
            << "...RRR";
        QTest::newRow("end key searched after the begin key's first character")
            << QStringList{"/;/"} << "/a/ /"
            << "RRR..";
        QTest::newRow("double-byte keys") << QStringList{"\u300C;\u300D;navy"} << "\u300Cx\u300D"
                                          << "NNNNN";
    }

    void beginEnd()
    {
        QFETCH(QStringList, pairs);
        QFETCH(QString, text);
        QFETCH(QString, colors);
        TColorRule rule;
        rule.setKeyBegEndLst(pairs);
        QCOMPARE(scanned(rule, text), colors);
    }

    void beginLineEnd_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colors");
        QTest::newRow("to the end of the line, not the break")
            << QStringList{"//;green"} << "a//b\nc//"
            << ".GGG...GG";
        QTest::newRow("last line without a break: to the end") << QStringList{"#"} << "x\n#yz"
                                                               << "...RRR";
        QTest::newRow("one run per line") << QStringList{"#"} << "# #\n#"
                                          << "RRR..R";
        QTest::newRow("earliest key of several") << QStringList{"--;blue", "#;green"} << "a#--\nb--"
                                                 << ".GGG...BB";
    }

    void beginLineEnd()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, text);
        QFETCH(QString, colors);
        TColorRule rule;
        rule.KeyDrawingType = dtBeginLineEnd;
        rule.setKeyLineEndLst(keys);
        QCOMPARE(scanned(rule, text), colors);
    }

    void eventDraw_takesTheOwnersRunsRelativeToTheScanStart()
    {
        TColorRule rule;
        rule.KeyDrawingType = dtEventDraw;
        rule.ZOrder = 3;
        std::vector<TKeyDescr> buffer(2);
        const char* seen = nullptr;
        RuleScanner::Events events;
        events.buffer = &buffer;
        events.OnDraw = [&](TColorRule* sender, const char* fromPos, std::vector<TKeyDescr>& a,
                            int& itemsCount) {
            QCOMPARE(sender, &rule);
            QCOMPARE(a[1], (TKeyDescr{0, 0, 0, 0, 0})); // cleared before the call
            QCOMPARE(itemsCount, 0);
            seen = fromPos;
            a[0] = {0, 1, 16711680, 0, 0};
            a[1] = {3, 99, 32768, 9, 0}; // past the end: cut at the scanned text's end
            itemsCount = 5;              // more than the buffer holds: the rest is ignored
        };
        buffer[1] = {7, 7, 7, 7, 7};
        const ShiftJisText text(QStringLiteral("xyabcdef"));
        TKeyDescrList list;
        RuleScanner::scan(rule, text, 2, list, events);
        QCOMPARE(seen, text.bytes().constData() + 2);
        QCOMPARE(list.count(), 2);
        QCOMPARE(list[0], (TKeyDescr{2, 3, 16711680, 3, 0}));
        QCOMPARE(list[1], (TKeyDescr{5, 7, 32768, 9, 0}));
    }

    void eventDraw_withoutABuffer_addsNothingAndKeepsEarlierRuns()
    {
        TColorRule rule;
        rule.KeyDrawingType = dtEventDraw;
        bool called = false;
        std::vector<TKeyDescr> none;
        RuleScanner::Events events;
        events.buffer = &none;
        events.OnDraw = [&](TColorRule*, const char*, std::vector<TKeyDescr>&, int&) {
            called = true;
        };
        TKeyDescrList list;
        list.add({0, 0, 255, 0, 0});
        RuleScanner::scan(rule, ShiftJisText(QStringLiteral("ab")), 0, list, events);
        QVERIFY(!called);
        QCOMPARE(list.count(), 1);
    }

    void resolve_data()
    {
        // Entries in list order: pattern and level; the result per byte.
        QTest::addColumn<QByteArrayList>("patterns");
        QTest::addColumn<QList<int>>("levels");
        QTest::addColumn<QString>("colors");
        QTest::newRow("higher level wins, whatever the order")
            << QByteArrayList{"BBBB..", ".RR..."} << QList<int>{5, 1} << "BBBB..";
        QTest::newRow("equal levels: the later entry")
            << QByteArrayList{"BBBB..", ".RR..."} << QList<int>{1, 1} << "BRRB..";
        QTest::newRow("selection over a rule")
            << QByteArrayList{"GGGGGG", "..RR.."} << QList<int>{0, 254} << "GGRRGG";
        QTest::newRow("gaps stay uncovered")
            << QByteArrayList{"B....G"} << QList<int>{0} << "B....G";
    }

    void resolve()
    {
        QFETCH(QByteArrayList, patterns);
        QFETCH(QList<int>, levels);
        QFETCH(QString, colors);
        TKeyDescrList list;
        for (int i = 0; i < patterns.size(); ++i)
            addPattern(list, patterns[i], quint8(levels[i]));
        CharacterMap map;
        map.resolve(list);
        QString result(colors.size(), u'.');
        for (const TKeyDescr& run : list) {
            for (int at = run.BegPos; at <= run.EndPos; ++at)
                result[at] = QLatin1Char(letter(run.Color));
        }
        QCOMPARE(result, colors);
    }

    void resolve_buildsOneRunPerEqualStretch_andSkipsFreeAndEndlessEntries()
    {
        TKeyDescrList list;
        list.add({0, 1, 255, 0, 1});
        list.add({2, 3, 255, 0, 1});
        list.add({4, 4, 255, 0, 0}); // another event flag: another run
        list.add({6, TKeyDescr::Unset, 32768, 9, 0});
        list.add({8, 7, 32768, 9, 0});
        CharacterMap map;
        map.resolve(list);
        QCOMPARE(list.count(), 2);
        QCOMPARE(list[0], (TKeyDescr{0, 3, 255, 0, 1}));
        QCOMPARE(list[1], (TKeyDescr{4, 4, 255, 0, 0}));
        // Kept between paints: a second, smaller resolve starts clean.
        list.clear();
        list.add({1, 1, 0, 0, 0});
        map.resolve(list);
        QCOMPARE(list.count(), 1);
        QCOMPARE(list[0], (TKeyDescr{1, 1, 0, 0, 0}));
    }

    void overlay_caretLineRun_coversTheLineUpToTheCaretUnderTheRules()
    {
        TDrawRules rules;
        rules.add().setKeyBegEndLst({"<;>;blue"});
        const ShiftJisText text(QStringLiteral("ab<c>de"));
        OverlayRuns overlay;
        OverlayRuns::Scan scan;
        scan.text = &text;
        scan.rules = &rules;
        scan.fontColor = 32768;
        scan.caretLineStart = 0;
        scan.caret = 6;
        QCOMPARE(picture(text, overlay.build(scan)), QByteArray("GGBBBG."));
    }

    void overlay_ordersHotSpotsTabsRulesAndSelection()
    {
        // A keyword rule at level 0 under a hot spot, a tab and the selection.
        TDrawRules rules;
        TColorRule& rule = rules.add();
        rule.KeyDrawingType = dtKeyShow;
        rule.PartWord = true;
        rule.setKeywords({"a;blue"});
        THotSpot hotSpot;
        hotSpot.Active = true;
        hotSpot.MarkerColor = 65535;
        hotSpot.Color = 32768;
        const ShiftJisText text(QStringLiteral("a\u001Ea\u001Fa\ta\u001E\u001Fa"));
        OverlayRuns overlay;
        OverlayRuns::Scan scan;
        scan.text = &text;
        scan.hotSpot = &hotSpot;
        scan.rules = &rules;
        scan.background = 0;
        scan.selStart = 6;
        scan.selLength = 1;
        QCOMPARE(picture(text, overlay.build(scan)), QByteArray("BYGYBKRYYB"));
        const TKeyDescrList& runs = overlay.build(scan);
        QCOMPARE(runs[5].Level, TKeyDescr::TabLevel);
        QCOMPARE(runs[6].Level, TKeyDescr::SelectionLevel);
    }
};

QTEST_MAIN(RuleScannerTest)
#include "RuleScannerTest.moc"
