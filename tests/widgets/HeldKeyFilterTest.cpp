#include "widgets/HeldKeyFilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

namespace {
// Counts the key events that reach the widgets it watches, and keeps whether the last was a
// repeat.
class Arrivals : public QObject
{
public:
    int count = 0;
    bool repeat = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease ||
            type == QEvent::ShortcutOverride) {
            ++count;
            repeat = static_cast<QKeyEvent*>(event)->isAutoRepeat();
        }
        return false;
    }
};
} // namespace

// A held key's repeats, as the X server sends them, after its window closes or the focus moves.
class HeldKeyFilterTest : public QObject
{
    Q_OBJECT

private slots:
    // Each step is a window (A or B) and an event: p press, r release, P and R their repeats, O a
    // repeat's shortcut check, h a repeat's release that came unflagged while the key is still
    // down and q its press, just as unflagged; then the key, E (Enter) or X. "!" marks an event
    // that must not arrive, "~" one that arrives as a repeat. "fA" gives window A the focus, "f-"
    // gives it to another program, which then sees the key's release.
    void heldKey_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("held where it went down: every repeat arrives") << "ApE ARE APE ARE ArE";
        QTest::newRow("repeats reaching another window go nowhere, the release too")
            << "ApE BRE! BPE! ARE! APE! ArE!";
        QTest::newRow("the focus moved while held") << "ApE fB BOE! BPE! BRE! BrE!";
        QTest::newRow("the focus moved away and back") << "ApE fB fA ARE! APE! ArE!";
        QTest::newRow("a new press is the user's again") << "ApE fB BrE! BpE BRE BPE BrE";
        QTest::newRow("released in another program, then held here")
            << "fA ApE f- fA ApE ARE APE ArE";
        QTest::newRow("a key pressed after the move is untouched")
            << "ApE fB BpX BPE! BRX BPX BrX BrE!";
        QTest::newRow("a key never seen down passes") << "BRE BPE BrE";
        QTest::newRow("unflagged repeats of a key still down are repeats")
            << "ApE AhE~ AqE~ ARE APE ArE";
        QTest::newRow("unflagged repeats reaching another window go nowhere")
            << "ApE BhE! BqE! BRE! BPE! BrE!";
    }

    void heldKey()
    {
        QFETCH(QString, steps);
        bool stillDown = false;
        const HeldKeyFilter filter([&](quint32) { return stillDown; }, nullptr);
        QWidget a;
        QWidget b;
        QLineEdit* edits[] = {new QLineEdit(&a), new QLineEdit(&b)};
        Arrivals arrivals;
        for (QLineEdit* edit : edits) {
            edit->installEventFilter(&arrivals);
            edit->window()->show();
            QVERIFY(QTest::qWaitForWindowExposed(edit->window()));
        }
        ulong time = 0;
        for (const QString& step : steps.split(u' ')) {
            if (step == u"f-") {
                QApplication::focusWidget()->clearFocus();
                QTRY_VERIFY(!QApplication::focusWidget());
                continue;
            }
            if (step[0] == u'f') {
                QLineEdit* edit = edits[step[1] == u'A' ? 0 : 1];
                edit->activateWindow();
                edit->setFocus();
                QTRY_VERIFY(edit->hasFocus());
                continue;
            }
            const QChar kind = step[1];
            const QEvent::Type type = kind == u'O' ? QEvent::ShortcutOverride
                                      : QStringLiteral("pPq").contains(kind) ? QEvent::KeyPress
                                                                             : QEvent::KeyRelease;
            const int key = step[2] == u'E' ? Qt::Key_Return : Qt::Key_X;
            QKeyEvent event(type, key, Qt::NoModifier, QString(), kind.isUpper());
            time += kind == u'q' ? 0 : 100; // a repeat's press comes at its release's time
            event.setTimestamp(time);
            stillDown = kind == u'h';
            const int before = arrivals.count;
            QCoreApplication::sendEvent(edits[step[0] == u'A' ? 0 : 1], &event);
            QVERIFY2((arrivals.count > before) != step.endsWith(u'!'), qPrintable(step));
            QVERIFY2(arrivals.repeat == (kind.isUpper() || step.endsWith(u'~')) ||
                         step.endsWith(u'!'),
                     qPrintable(step));
        }
    }
};

QTEST_MAIN(HeldKeyFilterTest)
#include "HeldKeyFilterTest.moc"
