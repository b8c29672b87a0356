#include "editor/ColorMemo.h"

#include <QTest>

class ColorMemoTest : public QObject
{
    Q_OBJECT

private:
    // The body editor as the main window makes it: 276 x 194, no frame, the default body font.
    static void configure(TColorMemo& memo)
    {
        memo.setFrameShape(QFrame::NoFrame);
        memo.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo.setFont(QFont(QStringLiteral("IPAPGothic"), 9));
        memo.resize(276, 194);
    }

    static QString numberedLines(int count)
    {
        QStringList lines;
        for (int i = 0; i < count; ++i)
            lines.append(QString::number(i));
        return lines.join(u'\n');
    }

    static QString longParagraph() { return QString(60, QChar(0x3042)); } // 60 × あ

private slots:
    void lineCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("one line") << "a" << 1;
        QTest::newRow("one line and a break") << "a\n" << 1;
        QTest::newRow("two breaks") << "\n\n" << 2;
        QTest::newRow("two lines") << "a\nb" << 2;
        QTest::newRow("two lines and a break") << "a\nb\n" << 2;
    }

    void lineCount()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        TColorMemo memo;
        configure(memo);
        memo.setText(text);
        QCOMPARE(memo.lines().size(), count);
    }

    void wrappedParagraph_countsItsDisplayLines_evenBeforeTheEditorIsShown()
    {
        TColorMemo hidden;
        configure(hidden);
        hidden.setText(longParagraph());
        const QStringList lines = hidden.lines();
        QVERIFY2(lines.size() >= 2, qPrintable(QString::number(lines.size())));
        QCOMPARE(lines.join(QString()), longParagraph());
        QCOMPARE(hidden.displayLineCount(), lines.size());

        TColorMemo shown;
        configure(shown);
        shown.setText(longParagraph());
        shown.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        QCOMPARE(shown.lines().size(), lines.size());
    }

    void addLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("after a final break") << "a\n"
                                             << "a\nnew\n";
        QTest::newRow("without a final break") << "a"
                                               << "a\nnew";
        QTest::newRow("empty") << ""
                               << "new\n";
    }

    void addLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        TColorMemo memo;
        configure(memo);
        memo.setText(text);
        memo.addLine("new");
        QCOMPARE(memo.text(), result);
        QCOMPARE(memo.lines().last(), QStringLiteral("new"));
    }

    void displayLineCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("one line and a break") << "a\n" << 2;
    }

    void displayLineCount()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        TColorMemo memo;
        configure(memo);
        memo.setText(text);
        QCOMPARE(memo.displayLineCount(), count);
    }

    void visibleLineCount_isZeroBelowOneLineAndCountsWholeLinesOnly()
    {
        TColorMemo memo;
        configure(memo);
        memo.setText(numberedLines(40));
        const int h = memo.fontMetrics().height();
        const int visible = memo.VisibleLineCount();
        QCOMPARE(visible, (memo.viewport()->height() - 5) / h);
        memo.resize(276, h - 1);
        QCOMPARE(memo.VisibleLineCount(), 0);
        memo.setText(QStringLiteral("a\nb"));
        memo.resize(276, 194);
        QCOMPARE(memo.VisibleLineCount(), 2);
    }

    void scrollLines_movesByDisplayLinesWithinTheRange()
    {
        TColorMemo memo;
        configure(memo);
        memo.setText(numberedLines(40));
        memo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        QCOMPARE(memo.FirstVisibleLine(), 0);
        memo.ScrollLines(0, 10);
        QCOMPARE(memo.FirstVisibleLine(), 10);
        memo.ScrollLines(0, -3);
        QCOMPARE(memo.FirstVisibleLine(), 7);
        memo.ScrollLines(0, -100);
        QCOMPARE(memo.FirstVisibleLine(), 0);
        memo.ScrollLines(0, 1000);
        QCOMPARE(memo.FirstVisibleLine(), 40 - memo.VisibleLineCount());
    }

    void text_keepsEveryCharacter()
    {
        TColorMemo memo;
        const QString text = QStringLiteral("no\u00A0break\ttab\n\uF781 stand-in\n");
        memo.setText(text);
        QCOMPARE(memo.text(), text);
    }
};

QTEST_MAIN(ColorMemoTest)
#include "ColorMemoTest.moc"
