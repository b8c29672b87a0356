#include "editor/ColorRule.h"
#include "editor/DrawRules.h"

#include <QTest>

// A rule's tables, built from its three lists.
class ColorRuleTest : public QObject
{
    Q_OBJECT

private slots:
    void parseColorSpec_data()
    {
        QTest::addColumn<QString>("spec");
        QTest::addColumn<uint>("color");
        QTest::newRow("name") << "NAVY" << 8388608u;
        QTest::newRow("name in any case, blanks around") << "  nAvY " << 8388608u;
        QTest::newRow("every name") << "fuchsia" << 16711935u;
        QTest::newRow("hash: blue after the swap") << "#0000FF" << 16711680u;
        QTest::newRow("dollar") << "$FF0000" << 255u;
        QTest::newRow("bare") << "00ff00" << 65280u;
        QTest::newRow("red-green-blue swapped") << "#123456" << 0x563412u;
        QTest::newRow("not hexadecimal") << "zz" << 16777215u;
        QTest::newRow("dollar inside") << "12$34" << 16777215u;
        QTest::newRow("hash only") << "#" << 16777215u;
        QTest::newRow("cut at ten characters") << "$0000000000FF" << 0u;
        QTest::newRow("too long for a colour") << "123456789" << 16777215u;
    }

    void parseColorSpec()
    {
        QFETCH(QString, spec);
        QFETCH(uint, color);
        QCOMPARE(TColorRule::ParseColorSpec(spec), TColor(color));
    }

    void begEndTable_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("begKey");
        QTest::addColumn<QByteArray>("endKey");
        QTest::addColumn<uint>("color");
        QTest::newRow("pair, default colour")
            << "(*;*)" << QByteArray("(*") << QByteArray("*)") << 255u;
        QTest::newRow("pair and colour")
            << "<;>;blue" << QByteArray("<") << QByteArray(">") << 16711680u;
        QTest::newRow("blank colour") << "<;>;  " << QByteArray("<") << QByteArray(">") << 255u;
        QTest::newRow("keys cut to six bytes")
            << "abcdefgh;12345678" << QByteArray("abcdef") << QByteArray("123456") << 255u;
        QTest::newRow("a double-byte character is never split")
            << "ab\u3042\u3044\u3046;x" << QByteArray("ab\x82\xa0\x82\xa2") << QByteArray("x")
            << 255u;
        QTest::newRow("no semicolon") << "abc" << QByteArray() << QByteArray() << 0u;
        QTest::newRow("leading semicolon") << ";abc" << QByteArray() << QByteArray() << 0u;
    }

    void begEndTable()
    {
        QFETCH(QString, line);
        QFETCH(QByteArray, begKey);
        QFETCH(QByteArray, endKey);
        QFETCH(uint, color);
        TColorRule rule;
        rule.setKeyBegEndLst({line});
        QCOMPARE(rule.KeyTable().size(), size_t(TColorRule::KeyTableSize));
        const TKeyEntry& entry = rule.KeyTable()[0];
        QCOMPARE(entry.BegKey, begKey);
        QCOMPARE(entry.EndKey, endKey);
        QCOMPARE(entry.KeyColor, TColor(color));
    }

    void lineEndTable_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<uint>("color");
        QTest::newRow("key and colour") << "//;green" << QByteArray("//") << 32768u;
        QTest::newRow("key alone") << "rem" << QByteArray("rem") << 255u;
        QTest::newRow("semicolon key") << ";;lime" << QByteArray(";") << 65280u;
        QTest::newRow("single leading semicolon: all of it")
            << ";lime" << QByteArray(";lime") << 255u;
    }

    void lineEndTable()
    {
        QFETCH(QString, line);
        QFETCH(QByteArray, key);
        QFETCH(uint, color);
        TColorRule rule;
        rule.setKeyLineEndLst({line});
        QCOMPARE(rule.KeyTable()[0].BegKey, key);
        QCOMPARE(rule.KeyTable()[0].EndKey, QByteArray());
        QCOMPARE(rule.KeyTable()[0].KeyColor, TColor(color));
    }

    void tables_takeFortyLinesAtMost()
    {
        QStringList lines;
        for (int i = 0; i < 45; ++i)
            lines.append(QStringLiteral("k%1;e").arg(i));
        TColorRule rule;
        rule.setKeyBegEndLst(lines);
        QCOMPARE(rule.KeyTable().size(), size_t(40));
        QCOMPARE(rule.KeyTable()[39].BegKey, QByteArray("k39"));
    }

    void keyIndex_upperCasesAndNumbersColours()
    {
        TColorRule rule;
        rule.setKeywords({"begin;blue", "  ", "end ; blue", "Mix;#00FF00", "plain"});
        QCOMPARE(rule.KeyIndex(), QByteArray("*BEGIN*+\x01*END*+\x01*MIX*+\x02*PLAIN*+\x03*"));
        QCOMPARE(rule.KeyColors(), (QList<TColor>{16711680, 65280, 255}));
        rule.KeyCase = true;
        rule.setKeywords({"Mix"});
        QCOMPARE(rule.KeyIndex(), QByteArray("*Mix*+\x01*"));
    }

    void keyIndex_beyondFortyOneColours_takesThePreviousKeywordsColour()
    {
        QStringList keywords;
        for (int i = 1; i <= 42; ++i)
            keywords.append(QStringLiteral("k%1;%2").arg(i).arg(i, 6, 16, QLatin1Char('0')));
        TColorRule rule;
        rule.setKeywords(keywords);
        QCOMPARE(rule.KeyColors().size(), 41);
        QVERIFY(rule.KeyIndex().endsWith("*K41*+\x29*K42*+\x29*"));
    }

    void prepare_reportsContentByKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("content");
        QTest::newRow("keywords of a keyword rule") << int(dtKeyShow) << true;
        QTest::newRow("keywords of a begin/end rule") << int(dtBeginEnd) << false;
    }

    void prepare_reportsContentByKind()
    {
        QFETCH(int, kind);
        QFETCH(bool, content);
        TColorRule rule;
        rule.KeyDrawingType = TKeyDrawingType(kind);
        rule.setKeywords({"x"});
        QCOMPARE(rule.Prepare(), content);
    }

    void prepareRules_stopsOnceARuleHasContent()
    {
        TDrawRules rules;
        TColorRule& rule = rules.add();
        rules.PrepareRules();
        QVERIFY(rules.NeedPrepare());
        rule.setKeyBegEndLst({"<;>"});
        rules.PrepareRules();
        QVERIFY(!rules.NeedPrepare());
    }

    void assign_copiesAllButSelectionColourAndIntChar_andEndsWithThePairs()
    {
        TColorRule source;
        source.KeyDrawingType = dtBeginLineEnd;
        source.ZOrder = 7;
        source.KeyMaxHeight = 3;
        source.KeyCase = true;
        source.Enabled = false;
        source.PartWord = true;
        source.DefKeyColor = 1;
        source.KeyBrushColor = 2;
        source.KeySelColor = 3;
        source.IntChar = QStringLiteral("x");
        source.setKeywords({"kw"});
        source.setKeyLineEndLst({"//"});
        source.setKeyBegEndLst({"<;>"});
        TDrawRules from;
        from.add().assign(source);
        TDrawRules rules;
        rules.assign(from);
        const TColorRule& copy = rules[0];
        QCOMPARE(copy.KeyDrawingType, dtBeginLineEnd);
        QCOMPARE(copy.ZOrder, quint8(7));
        QCOMPARE(copy.KeyMaxHeight, 3);
        QVERIFY(copy.KeyCase && !copy.Enabled && copy.PartWord);
        QCOMPARE(copy.DefKeyColor, TColor(1));
        QCOMPARE(copy.KeyBrushColor, TColor(2));
        QCOMPARE(copy.KeySelColor, TColor(65535));
        QVERIFY(copy.IntChar.isEmpty());
        QCOMPARE(copy.Keywords(), QStringList{"kw"});
        QCOMPARE(rules[0].KeyTable()[0].BegKey, QByteArray("<"));
    }
};

QTEST_MAIN(ColorRuleTest)
#include "ColorRuleTest.moc"
