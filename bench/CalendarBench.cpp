// Opening the calendar on a diary of ten thousand days until its grid is painted. The grid asks
// the disk whether each shown day has an entry; the floor is the same window painted with no
// day having one, so what lies between the two is those file tests. Opening through the main
// window also saves the shown day first (one atomic write), which is shown on its own.

#include "common/BenchClock.h"
#include "common/BenchDiary.h"
#include "common/BenchReport.h"
#include "common/BenchWindow.h"
#include "common/PaintWatcher.h"
#include "core/diary/Diary.h"
#include "core/storage/SafeFile.h"
#include "widgets/CalendarR.h"
#include "widgets/Dialogs.h"
#include "windows/CalendarForm.h"
#include "windows/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {
constexpr int Days = 10000;
// Each first opening needs a main window of its own: the calendar is made at its first use.
constexpr int Rounds = 20;
constexpr int LaterPerRound = 4;
const QDate Today(2024, 1, 5);

struct Result
{
    Samples mainFirst;
    Samples mainLater;
    Samples aloneFirst;
    Samples aloneLater;
    Samples floorFirst;
    Samples floorLater;
    Samples save;
};

// The calendar as the main window makes it, on the day it shows; without file tests no day
// counts as having an entry.
std::unique_ptr<TForm2> makeCalendar(TForm1& form, const Clock& clock, bool fileTests)
{
    auto calendar = std::make_unique<TForm2>(form.skin(), *form.diary(), clock, &form);
    if (!fileTests)
        calendar->Calendar1->hasEntryTest = [](double) { return false; };
    calendar->ShownDate = form.shownDay()->date();
    return calendar;
}

void showCalendar(TForm2& calendar)
{
    PaintWatcher::showUntilPainted(calendar, *calendar.Calendar1);
}

void hideCalendar(QDialog& calendar)
{
    calendar.hide();
    QCoreApplication::processEvents();
}

// The main window's calendar answers at once: shown, painted, closed without a choice. The
// time is taken when its grid has been painted.
class CalendarAnswer
{
public:
    void install()
    {
        Dialogs::seams().exec = [this](QDialog& dialog) {
            auto* calendar = qobject_cast<TForm2*>(&dialog);
            if (!calendar)
                qFatal("a window other than the calendar was opened");
            showCalendar(*calendar);
            m_samples->add(std::chrono::steady_clock::now() - m_triggeredAt);
            ++m_openings;
            dialog.hide();
            return 0;
        };
    }

    // Ctrl+K, up to the painted grid.
    void open(TForm1& form, Samples& samples)
    {
        m_samples = &samples;
        const int before = m_openings;
        m_triggeredAt = std::chrono::steady_clock::now();
        form.cal1->trigger();
        if (m_openings != before + 1)
            qFatal("the calendar did not open");
        QCoreApplication::processEvents();
    }

private:
    Samples* m_samples = nullptr;
    std::chrono::steady_clock::time_point m_triggeredAt;
    int m_openings = 0;
};

void round(const QString& folder, const Clock& clock, CalendarAnswer& answer, Result& r)
{
    std::unique_ptr<TForm1> form = BenchWindow::start(folder, clock);
    answer.open(*form, r.mainFirst);
    std::unique_ptr<TForm2> alone;
    std::unique_ptr<TForm2> floor;
    r.aloneFirst.measure([&] {
        alone = makeCalendar(*form, clock, true);
        showCalendar(*alone);
    });
    hideCalendar(*alone);
    r.floorFirst.measure([&] {
        floor = makeCalendar(*form, clock, false);
        showCalendar(*floor);
    });
    hideCalendar(*floor);

    // Interleaved, so that the machine's load changes every figure alike.
    for (int i = 0; i < LaterPerRound; ++i) {
        answer.open(*form, r.mainLater);
        r.aloneLater.measure([&] { showCalendar(*alone); });
        hideCalendar(*alone);
        r.floorLater.measure([&] { showCalendar(*floor); });
        hideCalendar(*floor);
        r.save.measure([&] { form->shownDay()->save(); });
    }

    if (!form->Form2 || form->Form2->Calendar1->selectedDate() != form->shownDay()->date() ||
        !form->diary()->hasEntry(form->shownDay()->date()))
        qFatal("the calendar did not open on the shown day of the diary");
    alone.reset();
    floor.reset();
    BenchWindow::dispose(form);
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QStringList messages;
    Dialogs::seams().error = [&](const QString& text) { messages << text; };
    CalendarAnswer answer;
    answer.install();

    QApplication::setQuitOnLastWindowClosed(false);
    QTemporaryDir temp;
    BenchDiary::create(temp.path(), Days, Today);
    const BenchClock clock(QDateTime(Today, QTime(12, 0)));
    const QString todayEntry =
        QDir(temp.path()).filePath(QStringLiteral("data/") + BenchDiary::key(Today));
    const QByteArray entry = SafeFile::read(todayEntry);

    // The first calendar of a process loads fonts and pictures: not counted.
    Result warmUp;
    round(temp.path(), clock, answer, warmUp);
    Result r;
    for (int i = 0; i < Rounds; ++i)
        round(temp.path(), clock, answer, r);

    // Every save wrote back the text it had loaded.
    if (!messages.isEmpty() || SafeFile::read(todayEntry) != entry) {
        std::fprintf(stderr, "the calendar benchmark did not run as expected: %s\n",
                     qPrintable(messages.join(u'\n')));
        return 1;
    }

    BenchReport::section(
        QStringLiteral("Opening the calendar until its grid is painted, %L1-day diary").arg(Days));
    BenchReport::figure(QStringLiteral("first opening through the main window (Ctrl+K)"),
                        r.mainFirst);
    BenchReport::figure(QStringLiteral("later opening through the main window (Ctrl+K)"),
                        r.mainLater);
    BenchReport::figure(QStringLiteral("  of which: saving the shown day (one atomic write)"),
                        r.save);
    BenchReport::figure(QStringLiteral("first opening, window alone, with file tests"),
                        r.aloneFirst);
    BenchReport::figure(QStringLiteral("floor: first opening, window alone, no file tests"),
                        r.floorFirst);
    BenchReport::figure(QStringLiteral("later opening, window alone, with file tests"),
                        r.aloneLater);
    BenchReport::figure(QStringLiteral("floor: later opening, window alone, no file tests"),
                        r.floorLater);
    std::printf("  The main window saves the shown day before it opens the calendar; the\n"
                "  ratios against the floor compare the window alone, so that they measure\n"
                "  the file tests only.\n");
    const QString aim = QStringLiteral("aim <= 1.5x, and within 16 ms");
    BenchReport::ratio(QStringLiteral("calendar first opening / floor (file tests)"),
                       r.aloneFirst.medianMicros() / r.floorFirst.medianMicros(), aim);
    BenchReport::ratio(QStringLiteral("calendar later opening / floor (file tests)"),
                       r.aloneLater.medianMicros() / r.floorLater.medianMicros(), aim);
    BenchReport::ratio(QStringLiteral("calendar through main window / floor, later"),
                       r.mainLater.medianMicros() / r.floorLater.medianMicros(),
                       QStringLiteral("the save before opening included"));
    return 0;
}
