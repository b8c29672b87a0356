// The look back on a diary of ten thousand days: opening the window until its grid is painted
// with the counts, against the floor of reading and decoding every entry file once; opening it
// again in the same session, when the counts are kept; and この日 alone, for a change of day.

#include "common/BenchClock.h"
#include "common/BenchDiary.h"
#include "common/BenchReport.h"
#include "common/PaintWatcher.h"
#include "core/diary/Diary.h"
#include "core/diary/DiaryWatcher.h"
#include "core/storage/CodePage932.h"
#include "core/tasks/RecordCounter.h"
#include "core/time/DiaryDate.h"
#include "skin/Skin.h"
#include "widgets/YearGrid.h"
#include "windows/LookBackForm.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
constexpr int Days = 10000;
constexpr int Runs = 7;
const QDate LastDay(2024, 1, 5);

void waitForCounts(const TLookBackForm& form)
{
    while (!form.counted())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// From the window's making (or its showing again) until the grid is painted with the counts.
template <typename Open> Samples measureOpen(Open&& open)
{
    Samples samples;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        TLookBackForm& form = open();
        PaintWatcher::showUntilPainted(form, *form.Grid);
        waitForCounts(form);
        form.Grid->repaint();
        samples.add(std::chrono::nanoseconds(clock.nsecsElapsed()));
        form.hide();
    }
    return samples;
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    BenchDiary::create(folder.path(), Days, LastDay);
    const QString dataDir = folder.path() + QStringLiteral("/data");
    QStringList paths;
    for (const QString& name : QDir(dataDir).entryList(QDir::Files))
        paths.append(dataDir + QLatin1Char('/') + name);

    CodePage932::prepareBulkDecoding();
    Samples floor;
    for (int i = 0; i < Runs; ++i) {
        floor.measure([&] {
            for (const QString& path : std::as_const(paths)) {
                QFile file(path);
                file.open(QIODevice::ReadOnly);
                CodePage932::decode(file.readAll());
            }
        });
    }

    // What opening is made of: the entries listed, and every day counted on one thread.
    Samples listing;
    Samples counting;
    for (int i = 0; i < Runs; ++i) {
        listing.measure([&] { DayStore(dataDir).entryKeys(); });
        counting.measure([&] { RecordCounter(DayStore(dataDir)).refresh(); });
    }

    const BenchClock clock(QDateTime(LastDay, QTime(12, 0)));
    const Skin skin = Skin::build(QImage(QStringLiteral(":/scheme.png")),
                                  QImage(QStringLiteral(":/buttons.png")));
    const Diary diary(folder.path());
    const DiaryWatcher watcher(folder.path(), dataDir);
    const double shown = DiaryDate::fromDate(LastDay);

    std::unique_ptr<TLookBackForm> form;
    const Samples first = measureOpen([&]() -> TLookBackForm& {
        form = std::make_unique<TLookBackForm>(skin, diary, watcher, clock);
        form->setShownDate(shown);
        return *form;
    });
    // The same window shown again: its counts are kept, only the files' stamps are looked at.
    const Samples again = measureOpen([&]() -> TLookBackForm& { return *form; });

    // この日 before any count: the folder is listed for it.
    Samples sameDayListed;
    for (int i = 0; i < Runs; ++i) {
        TLookBackForm fresh(skin, diary, watcher, clock);
        sameDayListed.measure([&] { fresh.setShownDate(shown - 1 - i); });
    }
    Samples sameDay;
    for (int i = 0; i < Runs * 3; ++i)
        sameDay.measure([&] { form->setShownDate(shown - 1 - i); });

    BenchReport::section(QStringLiteral("Look back, %L1-day diary").arg(Days));
    BenchReport::figure(QStringLiteral("floor: read and decode every entry file once"), floor);
    BenchReport::figure(QStringLiteral("  list the entries"), listing);
    BenchReport::figure(QStringLiteral("  count every day (RecordCounter)"), counting);
    BenchReport::figure(QStringLiteral("open until the counted grid is painted"), first);
    BenchReport::figure(QStringLiteral("open again in the session, counts kept"), again);
    BenchReport::figure(QStringLiteral("この日 for another day, before the counts"), sameDayListed);
    BenchReport::figure(QStringLiteral("この日 for another day, from the counts"), sameDay);
    BenchReport::ratio(QStringLiteral("look back open / floor"),
                       first.medianMicros() / floor.medianMicros(), QStringLiteral("aim: <= 1.5"));
    BenchReport::ratio(QStringLiteral("look back reopen / floor"),
                       again.medianMicros() / floor.medianMicros(),
                       QStringLiteral("aim: <= 50 ms"));
    BenchReport::ratio(QStringLiteral("この日 before the counts / floor"),
                       sameDayListed.medianMicros() / floor.medianMicros(),
                       QStringLiteral("aim: <= 20 ms"));
    BenchReport::ratio(QStringLiteral("この日 from the counts / floor"),
                       sameDay.medianMicros() / floor.medianMicros(),
                       QStringLiteral("aim: <= 20 ms"));
    return 0;
}
