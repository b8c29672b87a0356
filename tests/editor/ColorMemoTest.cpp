#include "editor/ColorMemo.h"

#include <QPainter>
#include <QSet>
#include <QTest>
#include <QTextBlock>

namespace {
// Records the areas the viewport paints.
class PaintSpy : public QObject
{
public:
    explicit PaintSpy(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
};

QSet<QRgb> coloursIn(const QImage& image, const QRect& rect)
{
    QSet<QRgb> result;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x)
            result.insert(image.pixel(x, y) & 0xFFFFFF);
    }
    return result;
}

QRgb rgb(TColor c)
{
    return toQColor(c).rgb() & 0xFFFFFF;
}
} // namespace

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

    // The editor on a shown window, holding text; crisp glyphs make painted colours exact.
    struct Shown
    {
        QWidget window;
        TColorMemo memo{&window};

        explicit Shown(const QString& text, bool crisp = false)
        {
            window.resize(300, 220);
            configure(memo);
            if (crisp) {
                QFont font = memo.font();
                font.setStyleStrategy(QFont::NoAntialias);
                memo.setFont(font);
                memo.setFocusPolicy(Qt::NoFocus);
            }
            memo.setText(text);
        }

        bool show()
        {
            window.show();
            return QTest::qWaitForWindowExposed(&window);
        }
    };

private slots:
    void lineCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("displayed"); // the edit control's own count
        QTest::newRow("empty") << "" << 0 << 1;
        QTest::newRow("one line") << "a" << 1 << 1;
        QTest::newRow("one line and a break") << "a\n" << 1 << 2;
        QTest::newRow("two breaks") << "\n\n" << 2 << 3;
        QTest::newRow("two lines") << "a\nb" << 2 << 2;
        QTest::newRow("two lines and a break") << "a\nb\n" << 2 << 3;
    }

    void lineCount()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(int, displayed);
        TColorMemo memo;
        configure(memo);
        memo.setText(text);
        QCOMPARE(memo.lines().size(), count);
        QCOMPARE(memo.lineCount(), count);
        QCOMPARE(memo.displayLineCount(), displayed);
        QCOMPARE(memo.VisibleLineCount(), count);
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
        int scrolls = 0;
        memo.OnVScroll = [&](QObject*) { ++scrolls; };
        memo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        QCOMPARE(memo.FirstVisibleLine(), 0);
        memo.ScrollLines(0, 10);
        QCOMPARE(memo.FirstVisibleLine(), 10);
        QCOMPARE(scrolls, 1);
        memo.ScrollLines(0, -3);
        QCOMPARE(memo.FirstVisibleLine(), 7);
        memo.ScrollLines(0, -100);
        QCOMPARE(memo.FirstVisibleLine(), 0);
        memo.ScrollLines(0, 1000);
        QCOMPARE(memo.FirstVisibleLine(), 40 - memo.VisibleLineCount());
    }

    void caretKeys_data()
    {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("newAnchor");
        QTest::addColumn<int>("newPosition");
        QTest::addColumn<QString>("text");
        const int none = Qt::NoModifier;
        QTest::newRow("Left collapses to the end first")
            << 1 << 4 << int(Qt::Key_Left) << none << 3 << 3 << "abcdef";
        QTest::newRow("backward selection: its end too")
            << 4 << 1 << int(Qt::Key_Left) << none << 3 << 3 << "abcdef";
        QTest::newRow("Right from the end")
            << 1 << 4 << int(Qt::Key_Right) << none << 5 << 5 << "abcdef";
        QTest::newRow("Home") << 2 << 4 << int(Qt::Key_Home) << none << 0 << 0 << "abcdef";
        QTest::newRow("Shift+Left extends")
            << 1 << 4 << int(Qt::Key_Left) << int(Qt::ShiftModifier) << 1 << 3 << "abcdef";
        QTest::newRow("a letter replaces the selection")
            << 1 << 4 << int(Qt::Key_X) << none << 2 << 2 << "axef";
        QTest::newRow("no selection: plain movement")
            << 2 << 2 << int(Qt::Key_Left) << none << 1 << 1 << "abcdef";
    }

    void caretKeys()
    {
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, newAnchor);
        QFETCH(int, newPosition);
        QFETCH(QString, text);
        TColorMemo memo;
        configure(memo);
        memo.setText(QStringLiteral("abcdef"));
        QTextCursor cursor = memo.textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        memo.setTextCursor(cursor);
        const QString typed = key == Qt::Key_X ? QStringLiteral("x") : QString();
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), typed);
        QCoreApplication::sendEvent(&memo, &press);
        QCOMPARE(memo.textCursor().anchor(), newAnchor);
        QCOMPARE(memo.textCursor().position(), newPosition);
        QCOMPARE(memo.text(), text);
    }

    void selectionInBytes_data()
    {
        QTest::addColumn<int>("anchor"); // positions in the text
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("selStart"); // bytes
        QTest::addColumn<int>("selLength");
        // "a", "あ", "b", a line break, "い", a byte with no character, "c", "😀" (two units,
        // one character of nine bytes), "d"
        QTest::newRow("caret after a double-byte character") << 2 << 2 << 3 << 0;
        QTest::newRow("over an emoji") << 7 << 9 << 10 << 9;
        QTest::newRow("over a line break") << 1 << 5 << 1 << 7;
        QTest::newRow("backward") << 5 << 1 << 1 << 7;
        QTest::newRow("stand-in byte") << 5 << 6 << 8 << 1;
    }

    void selectionInBytes()
    {
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        TColorMemo memo;
        configure(memo);
        memo.setText(QStringLiteral("a\u3042b\n\u3044\uF780c\U0001F600d"));
        QTextCursor cursor = memo.textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        memo.setTextCursor(cursor);
        QCOMPARE(memo.SelStart(), selStart);
        QCOMPARE(memo.SelLength(), selLength);

        memo.setSelStart(selStart);
        QCOMPARE(memo.textCursor().position(), std::min(anchor, position));
        QVERIFY(!memo.textCursor().hasSelection());
        memo.setSelLength(selLength);
        QCOMPARE(memo.SelStart(), selStart);
        QCOMPARE(memo.SelLength(), selLength);
    }

    void caretLineAndColumn_countDisplayLinesAndBytes()
    {
        TColorMemo memo;
        configure(memo);
        memo.setText(QStringLiteral("ab\n") + longParagraph());
        const QStringList lines = memo.lines();
        QVERIFY(lines.size() >= 3);
        QTextCursor cursor = memo.textCursor();
        cursor.setPosition(3 + int(lines[1].size()) + 2); // two characters into line 2
        memo.setTextCursor(cursor);
        QCOMPARE(memo.CaretLine(), 2);
        QCOMPARE(memo.CaretColumn(), 4);
        cursor.setPosition(1);
        memo.setTextCursor(cursor);
        QCOMPARE(memo.CaretLine(), 0);
        QCOMPARE(memo.CaretColumn(), 1);
    }

    void overlay_withoutRulesOrInTheEditorsOwnColours_looksLikeThePlainEditor_data()
    {
        QTest::addColumn<bool>("rules");
        QTest::newRow("no rules, no hot spot: no overlay at all") << false;
        QTest::newRow("rules in the text colour: the same glyphs in the same places") << true;
    }

    void overlay_withoutRulesOrInTheEditorsOwnColours_looksLikeThePlainEditor()
    {
        QFETCH(bool, rules);
        QWidget window;
        window.resize(300, 220);
        TColorMemo memo(&window);
        QPlainTextEdit plain(&window);
        for (QPlainTextEdit* editor : {static_cast<QPlainTextEdit*>(&memo), &plain}) {
            editor->setFocusPolicy(Qt::NoFocus);
            editor->setFrameShape(QFrame::NoFrame);
            editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            editor->setFont(QFont(QStringLiteral("IPAPGothic"), 9));
            editor->setTabChangesFocus(false);
            editor->resize(276, 194);
            editor->setPlainText(QStringLiteral("a\tkey <b \u001Ehot\u001F \u65E5\u8A18\n") +
                                 longParagraph() + QStringLiteral(" key> Wavy key"));
            QTextCursor cursor = editor->textCursor();
            cursor.setPosition(2);
            cursor.setPosition(9, QTextCursor::KeepAnchor);
            editor->setTextCursor(cursor);
        }
        if (rules) {
            TColorRule& keywords = memo.ColorRules().add();
            keywords.KeyDrawingType = dtKeyShow;
            keywords.setKeywords({"key;black"});
            memo.ColorRules().add().setKeyBegEndLst({"<;>;black"});
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(memo.viewport()->grab().toImage(), plain.viewport()->grab().toImage());
        if (rules)
            return;
        // Nothing asks for a repaint of its own either.
        PaintSpy spy(memo.viewport());
        memo.Redraw(&memo, false);
        QCoreApplication::processEvents();
        QCOMPARE(spy.paints, 0);
    }

    void painter_coloursRulesHotSpotsAndKeepsTabsAndSelection()
    {
        // Line 0: keyword "key" (blue); a begin/end span from "<" on line 1 to ">" on line 2
        // (green); a line-end span "//" (navy) on line 3; a hot spot on line 4; a keyword
        // behind a tab and under the selection on line 5.
        Shown shown(QStringLiteral("xx key yy\nab <cd\nef> gh\nij // kl\n"
                                   "mn \u001Ehot\u001F op\n\tkey key"),
                    true);
        TColorMemo& memo = shown.memo;
        memo.setFocusPolicy(Qt::StrongFocus);
        TColorRule& keywords = memo.ColorRules().add();
        keywords.KeyDrawingType = dtKeyShow;
        keywords.setKeywords({"key;blue"});
        TColorRule& spans = memo.ColorRules().add();
        spans.setKeyBegEndLst({"<;>;green"});
        TColorRule& comments = memo.ColorRules().add();
        comments.KeyDrawingType = dtBeginLineEnd;
        comments.setKeyLineEndLst({"//;navy"});
        memo.ColorRules()[0].KeyMaxHeight = 2;
        memo.HotSpot().Active = true;
        memo.HotSpot().Color = 255;
        memo.HotSpot().MarkerColor = 65535;
        QTextCursor select = memo.textCursor();
        select.setPosition(memo.document()->findBlock(50).position() + 5);
        select.setPosition(select.block().position() + 8, QTextCursor::KeepAnchor);
        memo.setTextCursor(select);
        QVERIFY(shown.show());
        const QImage image = memo.viewport()->grab().toImage();

        // The cell of the characters [from, to) of block.
        const auto cell = [&](int block, int from, int to) {
            const int base = memo.document()->findBlockByNumber(block).position();
            QTextCursor c = memo.textCursor();
            c.setPosition(base + from);
            const QRect left = memo.cursorRect(c);
            c.setPosition(base + to);
            const QRect right = memo.cursorRect(c);
            // A pixel off each side: glyphs sit at fractional positions.
            return QRect(QPoint(left.left() + 2, left.top()),
                         QPoint(right.left() - 2, left.bottom()));
        };
        const QRgb white = rgb(fromQColor(memo.palette().color(QPalette::Base)));
        const QRgb black = rgb(fromQColor(memo.palette().color(QPalette::Text)));
        const QRgb highlight = memo.palette().color(QPalette::Highlight).rgb() & 0xFFFFFF;
        const QRgb highlighted = memo.palette().color(QPalette::HighlightedText).rgb() & 0xFFFFFF;
        const auto painted = [&](const QRect& r, QRgb ink, QRgb paper) {
            const QSet<QRgb> found = coloursIn(image, r);
            return found.contains(ink) && (found - QSet<QRgb>{ink, paper}).isEmpty();
        };
        QVERIFY(painted(cell(0, 0, 2), black, white));
        QVERIFY(painted(cell(0, 3, 6), rgb(16711680), white));
        QVERIFY(painted(cell(1, 3, 6), rgb(32768), white));
        QVERIFY(painted(cell(2, 0, 3), rgb(32768), white));
        QVERIFY(painted(cell(2, 4, 6), black, white));
        QVERIFY(painted(cell(3, 3, 8), rgb(8388608), white));
        QVERIFY(painted(cell(4, 4, 7), rgb(255), white));
        // Markers are filled cells; the hot-spot text is underlined in its colour.
        QCOMPARE(coloursIn(image, cell(4, 3, 4)), QSet<QRgb>{rgb(65535)});
        QCOMPARE(coloursIn(image, cell(4, 7, 8)), QSet<QRgb>{rgb(65535)});
        // The tab keeps the editor's own spacing; the keyword after it is coloured; the
        // selected keyword keeps the editor's own highlight.
        QCOMPARE(coloursIn(image, cell(5, 0, 1)), QSet<QRgb>{white});
        QVERIFY(painted(cell(5, 1, 4), rgb(16711680), white));
        QVERIFY(painted(cell(5, 5, 8), highlighted, highlight));
    }

    void oneTypedCharacter_repaintsOnlyTheCaretLine()
    {
        Shown shown(numberedLines(10));
        TColorMemo& memo = shown.memo;
        memo.ColorRules().add().setKeyBegEndLst({"<;>"});
        QVERIFY(shown.show());
        memo.setFocus();
        QTextCursor cursor = memo.textCursor();
        cursor.setPosition(memo.document()->findBlockByNumber(3).position() + 1);
        memo.setTextCursor(cursor);
        QCoreApplication::processEvents();
        const int lineHeight = memo.cursorRect().height();

        PaintSpy spy(memo.viewport());
        QTest::keyClick(&memo, Qt::Key_A);
        QTRY_VERIFY(spy.paints > 0);
        QVERIFY2(spy.painted.boundingRect().height() <= lineHeight + 2,
                 qPrintable(QString::number(spy.painted.boundingRect().height())));

        spy.painted = QRegion();
        spy.paints = 0;
        QTest::keyClick(&memo, Qt::Key_Return);
        QTRY_VERIFY(spy.paints > 0);
        QCOMPARE(spy.painted.boundingRect(), memo.viewport()->rect());
    }

    void input_asksForTheWholeVisibleArea_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("key");
        QTest::newRow("Shift released") << int(QEvent::KeyRelease) << int(Qt::Key_Shift);
        QTest::newRow("caret key with a selection") << int(QEvent::KeyPress) << int(Qt::Key_Up);
        QTest::newRow("left button pressed") << int(QEvent::MouseButtonPress) << 0;
        QTest::newRow("left button released") << int(QEvent::MouseButtonRelease) << 0;
    }

    void input_asksForTheWholeVisibleArea()
    {
        QFETCH(int, type);
        QFETCH(int, key);
        Shown shown(numberedLines(30));
        TColorMemo& memo = shown.memo;
        memo.ColorRules().add().setKeyBegEndLst({"<;>"});
        QTextCursor cursor = memo.textCursor();
        cursor.setPosition(30);
        cursor.setPosition(33, QTextCursor::KeepAnchor);
        memo.setTextCursor(cursor);
        QVERIFY(shown.show());
        QCoreApplication::processEvents();
        PaintSpy spy(memo.viewport());
        const QPoint point = memo.cursorRect().center();
        if (key != 0) {
            QKeyEvent event(QEvent::Type(type), key, Qt::NoModifier);
            QCoreApplication::sendEvent(&memo, &event);
        } else {
            QMouseEvent event(
                QEvent::Type(type), point, memo.viewport()->mapToGlobal(point), Qt::LeftButton,
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(memo.viewport(), &event);
        }
        QTRY_VERIFY(spy.paints > 0);
        QCOMPARE(spy.painted.boundingRect(), memo.viewport()->rect());
    }

    // "ccc>" closes a run opened two lines above it. Scrolled by two lines, the opening is out
    // of view and only the first rule's look-back finds it; in view, it is found whatever part
    // of the editor is repainted.
    void runOpenedAbove_isFoundInViewOrWithinTheFirstRulesLookBack_data()
    {
        QTest::addColumn<int>("keyMaxHeight");
        QTest::addColumn<int>("scrolled");
        QTest::addColumn<bool>("band"); // only the band of "ccc>" is repainted
        QTest::addColumn<bool>("coloured");
        QTest::newRow("looks back far enough") << 3 << 2 << false << true;
        QTest::newRow("looks back too little") << 2 << 2 << false << false;
        QTest::newRow("opened in view, a band below repainted") << 1 << 0 << true << true;
    }

    void runOpenedAbove_isFoundInViewOrWithinTheFirstRulesLookBack()
    {
        QFETCH(int, keyMaxHeight);
        QFETCH(int, scrolled);
        QFETCH(bool, band);
        QFETCH(bool, coloured);
        Shown shown(QStringLiteral("a <\nb\nccc>\n") + numberedLines(40), true);
        TColorMemo& memo = shown.memo;
        TColorRule& rule = memo.ColorRules().add();
        rule.KeyMaxHeight = keyMaxHeight;
        rule.setKeyBegEndLst({"<;>;green"});
        QVERIFY(shown.show());
        memo.ScrollLines(0, scrolled);
        QCOMPARE(memo.FirstVisibleLine(), scrolled);
        QTextCursor c = memo.textCursor();
        c.setPosition(memo.document()->findBlockByNumber(2).position());
        const QRect first = memo.cursorRect(c);
        c.setPosition(c.position() + 3);
        const QRect ccc(first.topLeft(), memo.cursorRect(c).bottomLeft());
        QImage image = memo.viewport()->grab().toImage();
        if (band) {
            image.fill(Qt::white);
            const QRect line(0, ccc.top(), memo.viewport()->width(), ccc.height());
            memo.viewport()->render(&image, line.topLeft(), QRegion(line));
        }
        QCOMPARE(coloursIn(image, ccc).contains(rgb(32768)), coloured);
    }

    void keywordRun_goesToOnDrawKeyWhenAssigned()
    {
        Shown shown(QStringLiteral("a key b"), true);
        TColorMemo& memo = shown.memo;
        TColorRule& rule = memo.ColorRules().add();
        rule.KeyDrawingType = dtKeyShow;
        rule.setKeywords({"key;blue"});
        QStringList keys;
        QRect where;
        QColor pen;
        TColor given = 1;
        memo.OnDrawKey = [&](QPainter& canvas, const QString& key, const QRect& rect,
                             TColor color) {
            keys.append(key);
            where = rect;
            pen = canvas.pen().color();
            given = color;
        };
        QVERIFY(shown.show());
        memo.viewport()->grab();
        QVERIFY(!keys.isEmpty());
        QCOMPARE(keys.last(), QStringLiteral("key"));
        QTextCursor c = memo.textCursor();
        c.setPosition(2);
        QVERIFY(std::abs(where.left() - memo.cursorRect(c).left()) <= 2);
        QCOMPARE(where.height(), memo.fontMetrics().height());
        QCOMPARE(pen, toQColor(16711680));
        QCOMPARE(given, fromQColor(memo.palette().color(QPalette::Text)));
    }

    void hotSpot_handCursorAndClickGiveItsText()
    {
        Shown shown(QStringLiteral("see \u001Elink\u001F now"));
        TColorMemo& memo = shown.memo;
        memo.HotSpot().Active = true;
        QStringList clicked;
        memo.OnHotSpotClick = [&](QObject* sender, const QString& text) {
            QCOMPARE(sender, &memo);
            clicked.append(text);
        };
        QVERIFY(shown.show());
        const auto at = [&](int position) {
            QTextCursor c = memo.textCursor();
            c.setPosition(position);
            return memo.cursorRect(c).center() + QPoint(2, 0);
        };
        const auto move = [&](const QPoint& point) {
            QMouseEvent event(QEvent::MouseMove, point, memo.viewport()->mapToGlobal(point),
                              Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(memo.viewport(), &event);
        };
        move(at(6));
        QCOMPARE(memo.viewport()->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(memo.viewport(), Qt::LeftButton, {}, at(6));
        QCOMPARE(clicked, QStringList{"link"});
        QTest::mouseClick(memo.viewport(), Qt::MiddleButton, {}, at(6));
        QCOMPARE(clicked.size(), 1);
        move(at(1));
        QCOMPARE(memo.viewport()->cursor().shape(), Qt::IBeamCursor);
        QTest::mouseClick(memo.viewport(), Qt::LeftButton, {}, at(1));
        QCOMPARE(clicked.size(), 1);
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
