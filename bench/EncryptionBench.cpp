// An encrypted diary against the same diary plain: turning encryption on for ten thousand days
// against a backup of them, a search through every sealed day, and the change of day's read.
// Unlocking is bench_unlock's.

#include "archive/DiaryArchive.h"
#include "common/BenchDiary.h"
#include "common/BenchReport.h"
#include "core/diary/Diary.h"
#include "core/tasks/DiaryEncryption.h"
#include "core/tasks/DiarySearch.h"
#include "core/time/DiaryDate.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace {

constexpr int Days = 10000;
constexpr int Runs = 5;
const QDate LastDay(2024, 6, 30);
const QString Passphrase = QStringLiteral("correct horse battery");

Samples search(const Diary& diary)
{
    Samples samples;
    for (int i = 0; i < Runs; ++i) {
        DiarySearch search(diary.days(), diary.titles());
        search.prepare();
        samples.measure([&] {
            search.run(
                SearchMatcher(QStringLiteral("見つからない言葉")), [] { return false; },
                [](auto&&) {});
        });
    }
    return samples;
}

// Every day of the last year loaded as the change of day loads it.
Samples loadDays(Diary& diary)
{
    Samples samples;
    for (int i = 0; i < Runs; ++i)
        samples.measure([&] {
            for (int d = 0; d < 365; ++d)
                diary.loadDay(DiaryDate::key(DiaryDate::fromDate(LastDay.addDays(-d))));
        });
    return samples;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    const QString folder = work.filePath(QStringLiteral("diary"));
    BenchDiary::create(folder, Days, LastDay);

    Samples backup;
    for (int i = 0; i < Runs; ++i)
        backup.measure(
            [&] { DiaryArchive::backup(folder, work.filePath(QStringLiteral("backup.zip"))); });

    Diary diary(folder);
    const Samples plainSearch = search(diary);
    const Samples plainLoad = loadDays(diary);

    // The key file costs two key derivations (the passphrase's slot and the recovery code's),
    // whatever the diary's size; the conversion grows with the days.
    Samples keyFile;
    keyFile.measure([&] { DiaryEncryption::turnOn(diary, Passphrase); });
    Samples convert;
    convert.measure([&] { DiaryEncryption::finish(diary); });
    const Samples sealedSearch = search(diary);
    const Samples sealedLoad = loadDays(diary);

    BenchReport::section(QStringLiteral("Encryption, %L1-day diary").arg(Days));
    BenchReport::figure(QStringLiteral("floor: back up every day"), backup);
    BenchReport::figure(QStringLiteral("  turn encryption on: the key file"), keyFile);
    BenchReport::figure(QStringLiteral("  turn encryption on: every day and title"), convert);
    BenchReport::figure(QStringLiteral("search, plain"), plainSearch);
    BenchReport::figure(QStringLiteral("  search, sealed"), sealedSearch);
    BenchReport::figure(QStringLiteral("load 365 days, plain"), plainLoad);
    BenchReport::figure(QStringLiteral("  load 365 days, sealed"), sealedLoad);
    BenchReport::ratio(QStringLiteral("turn on, the days / backup"),
                       convert.medianMicros() / backup.medianMicros(), QStringLiteral("aim: <= 3"));
    BenchReport::ratio(QStringLiteral("turn on, key file and days / backup"),
                       (keyFile.medianMicros() + convert.medianMicros()) / backup.medianMicros(),
                       QStringLiteral("the key file: see bench_unlock"));
    BenchReport::ratio(QStringLiteral("search sealed / plain"),
                       sealedSearch.medianMicros() / plainSearch.medianMicros(),
                       QStringLiteral("aim: <= 1.5"));
    BenchReport::ratio(QStringLiteral("load a day sealed / plain"),
                       sealedLoad.medianMicros() / plainLoad.medianMicros(),
                       QStringLiteral("aim: <= 1.2"));
    return 0;
}
