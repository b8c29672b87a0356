// Typing one character at the end of a body, from the key to the painted frame: an editor with
// 40 keyword rules, 10 begin/end rules and an active hot spot, against the same editor with no
// rules (the floor, the plain edit control). Both at 16 KB and at 1 MB of text: the overlay
// scans and paints the visible lines only, so its cost should not grow with the text.

#include "common/BenchReport.h"
#include "core/storage/CodePage932.h"
#include "editor/ColorMemo.h"

#include <QApplication>
#include <QKeyEvent>

namespace {
constexpr int WarmUp = 10;
constexpr int Keys = 200;

// A diary-like body of about bytes bytes: Japanese and Latin text with keywords, spans and
// hot spots on every line.
QString body(qsizetype bytes)
{
    const QString line = QStringLiteral(
        "今日は key%1 を使った。<b>太字</b> と \u001Elink%1\u001F です。 (* note *) end\n");
    QString text;
    qsizetype size = 0;
    for (int i = 0; size < bytes; ++i) {
        const QString next = line.arg(i % 40, 2, 10, QLatin1Char('0'));
        size += CodePage932::encode(next).size() + 1;
        text += next;
    }
    text.chop(1);
    return text;
}

void addRules(TColorMemo& memo)
{
    TDrawRules& rules = memo.ColorRules();
    for (int i = 0; i < 40; ++i) {
        TColorRule& rule = rules.add();
        rule.KeyDrawingType = dtKeyShow;
        rule.KeyMaxHeight = 3;
        rule.setKeywords({QStringLiteral("key%1;#%2")
                              .arg(i, 2, 10, QLatin1Char('0'))
                              .arg(i * 6000, 6, 16, QLatin1Char('0'))});
    }
    const QStringList pairs{"<b>;</b>;blue", "(*;*);green", "<i>;</i>", "{;}",   "[[;]]",
                            "「;」;navy",    "<<;>>",       "/*;*/",    "((;))", "$;$;teal"};
    for (const QString& pair : pairs)
        rules.add().setKeyBegEndLst({pair});
    memo.HotSpot().Active = true;
}

class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void waitForPaint(const PaintCounter& counter, int before)
{
    for (int i = 0; counter.paints == before && i < 100000; ++i)
        QCoreApplication::processEvents();
    if (counter.paints == before)
        qFatal("no frame was painted");
}

void press(QWidget* widget, int key, const QString& text)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &up);
}

// Types "a" at the end and takes it back, Keys times; the time is the "a" to its frame.
Samples typing(const QString& text, bool rules)
{
    QWidget window;
    window.resize(320, 320);
    TColorMemo memo(&window);
    memo.setGeometry(24, 104, 276, 194);
    memo.setFrameShape(QFrame::NoFrame);
    memo.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo.setFont(QFont(QStringLiteral("IPAPGothic"), 9));
    memo.setText(text);
    if (rules)
        addRules(memo);
    window.show();
    memo.setFocus();
    memo.moveCursor(QTextCursor::End);
    PaintCounter counter(memo.viewport());
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();

    Samples samples;
    for (int i = 0; i < WarmUp + Keys; ++i) {
        int before = counter.paints;
        const auto step = [&] {
            press(&memo, Qt::Key_A, QStringLiteral("a"));
            waitForPaint(counter, before);
        };
        if (i < WarmUp)
            step();
        else
            samples.measure(step);
        before = counter.paints;
        press(&memo, Qt::Key_Backspace, QString());
        waitForPaint(counter, before);
    }
    if (memo.text() != text)
        qFatal("the typing did not leave the text as it was");
    return samples;
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString small = body(16 * 1024);
    const QString large = body(1024 * 1024);

    const Samples floorSmall = typing(small, false);
    const Samples rulesSmall = typing(small, true);
    const Samples floorLarge = typing(large, false);
    const Samples rulesLarge = typing(large, true);

    BenchReport::section(QStringLiteral("Typing one character at the end of the body, key to "
                                        "painted frame"));
    BenchReport::figure(QStringLiteral("16 KB, no rules (floor)"), floorSmall);
    BenchReport::figure(QStringLiteral("16 KB, 40 keyword + 10 begin/end rules, hot spot"),
                        rulesSmall);
    BenchReport::figure(QStringLiteral("1 MB, no rules (floor)"), floorLarge);
    BenchReport::figure(QStringLiteral("1 MB, 40 keyword + 10 begin/end rules, hot spot"),
                        rulesLarge);
    BenchReport::ratio(QStringLiteral("typing with rules / floor, 16 KB"),
                       rulesSmall.medianMicros() / floorSmall.medianMicros(),
                       QStringLiteral("aim <= 2"));
    BenchReport::ratio(QStringLiteral("typing with rules / floor, 1 MB"),
                       rulesLarge.medianMicros() / floorLarge.medianMicros(),
                       QStringLiteral("aim <= 2"));
    BenchReport::ratio(QStringLiteral("typing, no rules, 1 MB / 16 KB"),
                       floorLarge.medianMicros() / floorSmall.medianMicros(),
                       QStringLiteral("the plain editor's own growth"));
    BenchReport::ratio(QStringLiteral("typing with rules, 1 MB / 16 KB"),
                       rulesLarge.medianMicros() / rulesSmall.medianMicros(),
                       QStringLiteral("aim ~ 1: grows with the visible lines, not the text"));
    return 0;
}
