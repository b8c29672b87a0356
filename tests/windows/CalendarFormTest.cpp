#include "windows/CalendarForm.h"
#include "common/WindowFixture.h"
#include "core/storage/SafeFile.h"
#include "core/time/DiaryDate.h"
#include "editor/ColorMemo.h"
#include "widgets/CalendarR.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

#include <cerrno>

namespace {
// Opens the calendar with Ctrl+K from the body, runs the steps in the shown window and returns
// its result.
int runCalendar(TForm1& form, const std::function<void(TForm2&)>& steps)
{
    return runModal<TForm2>(
        [&] {
            form.Memo1->setFocus();
            QTest::keyClick(form.Memo1, Qt::Key_K, Qt::ControlModifier);
        },
        steps);
}

QString shown(const TForm1& form)
{
    return DiaryDate::key(form.shownDay()->date());
}
} // namespace

class CalendarFormTest : public QObject
{
    Q_OBJECT

private slots:
    void arrowsThenEnter_saveTheDayLeft_andShowTheChosenDay()
    {
        WindowFixture f;
        f.write("data/20240110", "ten\r\n");
        f.write("diary.ini", "[title]\r\n20240110=<b>Ten</b>\r\n");
        auto form = f.start();
        form->show();
        form->Memo1->setText("today's text");
        const int result = runCalendar(*form, [&](TForm2& w) {
            QCOMPARE(w.windowTitle(), QStringLiteral("calendar"));
            QCOMPARE(w.pos(), form->pos() + QPoint(70, 85)); // (320 - 181) / 2 = 69.5 -> 70
            // The day was saved before the window opened, so it already counts as an entry.
            QVERIFY(QFile::exists(f.entryPath("20240105")));
            QVERIFY(w.Calendar1->hasEntryTest(
                DiaryDate::fromDateTime(QDateTime(QDate(2024, 1, 5), QTime()))));
            QCOMPARE(w.Label1->text(), QStringLiteral("2024年1月5日 金"));
            QTest::keyClick(w.Calendar1, Qt::Key_Down);
            QTest::keyClick(w.Calendar1, Qt::Key_Right);
            QCOMPARE(w.Label1->text(), QStringLiteral("2024年1月13日 土"));
            // Saturday is the last column: the grid does not wrap into the next week.
            QTest::keyClick(w.Calendar1, Qt::Key_Right);
            QTest::keyClick(w.Calendar1, Qt::Key_Left);
            QTest::keyClick(w.Calendar1, Qt::Key_Left);
            QTest::keyClick(w.Calendar1, Qt::Key_Left);
            // The title shows as written, not as markup.
            QTextDocument tip;
            tip.setHtml(w.Calendar1->toolTip());
            QCOMPARE(tip.toPlainText(), QStringLiteral("<b>Ten</b>"));
            // Enter held down comes up again and again as a repeat: only its last release acts.
            QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(w.Calendar1, &repeat);
            QVERIFY(w.isVisible());
            QTest::keyClick(w.Calendar1, Qt::Key_Return);
        });
        QCOMPARE(result, 1);
        QCOMPARE(f.read("data/20240105"), QByteArray("today's text"));
        QCOMPARE(shown(*form), QStringLiteral("20240110"));
        QCOMPARE(form->Memo1->text(), QStringLiteral("ten\n"));
        QCOMPARE(form->Edit1->text(), QStringLiteral("<b>Ten</b>"));
    }

    // Escape and the window manager end the window without OK: the shown day stays, even before
    // the first OK, when no day has been chosen at all.
    void closeWithoutOk_keepsTheShownDay()
    {
        WindowFixture f;
        auto form = f.start();
        form->Edit1->setText("kept");
        const int result = runCalendar(*form, [](TForm2& w) {
            QTest::keyClick(w.Calendar1, Qt::Key_Right);
            QTest::keyClick(w.Calendar1, Qt::Key_Escape);
        });
        QVERIFY(result != 1);
        QCOMPARE(shown(*form), QStringLiteral("20240105"));
        QCOMPARE(form->Edit1->text(), QStringLiteral("kept"));
        QCOMPARE(form->Form2->chosenDate(), 0.0);
    }

    void monthButtons_stepWithTheDayClamped_andEveryShowingStartsOnTheShownDay()
    {
        WindowFixture f;
        f.clock.setLocal(QDateTime(QDate(2024, 3, 31), QTime(9, 0)));
        auto form = f.start();
        runCalendar(*form, [](TForm2& w) {
            w.SpeedButton2->click();
            QCOMPARE(w.Label1->text(), QStringLiteral("2024年2月29日 木"));
            w.SpeedButton1->click();
            w.SpeedButton1->click();
            QCOMPARE(w.Label1->text(), QStringLiteral("2024年4月29日 月"));
            w.SpeedButton3->click();
        });
        QCOMPARE(shown(*form), QStringLiteral("20240429"));
        runCalendar(*form, [](TForm2& w) {
            QCOMPARE(w.Label1->text(), QStringLiteral("2024年4月29日 月"));
            w.SpeedButton3->click();
        });
        QCOMPARE(shown(*form), QStringLiteral("20240429"));
    }

    void failedSave_keepsTheCalendarClosed()
    {
        WindowFixture f;
        auto form = f.start();
        form->Memo1->setText("unsaved");
        SafeFile::faultHook() = [](SafeFile::Step step, const QString&) {
            return step == SafeFile::Step::Commit ? EIO : 0;
        };
        const int result = runCalendar(*form, [](TForm2&) {});
        SafeFile::faultHook() = {};
        QCOMPARE(result, -1);
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(form->Memo1->text(), QStringLiteral("unsaved"));
    }
};

QTEST_MAIN(CalendarFormTest)
#include "CalendarFormTest.moc"
