// Searching a diary of ten thousand days of realistic length (about 30 MB of Shift-JIS) as the
// search window does after each keystroke: the full result list, and the first results as the
// window receives them, against the floor of reading the same files once. Also what each step
// costs, which shows what a copy of the diary kept between searches could save.

#include "common/BenchDiary.h"
#include "common/BenchReport.h"
#include "core/diary/Diary.h"
#include "core/storage/CodePage932.h"
#include "core/storage/IniFile32.h"
#include "core/tasks/SearchEngine.h"
#include "skin/Skin.h"
#include "windows/SearchForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <fstream>

namespace {
constexpr int Days = 10000;
constexpr int Runs = 9;
constexpr qsizetype EntryBytes = 3000;
const QDate LastDay(2024, 1, 5);

// Entries of a diary kept for years: a few thousand bytes each. Every fiftieth day was
// written about in katakana and every seventy-third in hiragana, the rest never names it.
QByteArray longBody(const QDate& day)
{
    QByteArray body;
    for (int i = 0; body.size() < EntryBytes; ++i)
        body += BenchDiary::body(day.addDays(i * 1000)) + "\r\n";
    if (day.toJulianDay() % 50 == 0)
        body += CodePage932::encode(QStringLiteral("今日のニッキはここまで。\r\n"));
    if (day.toJulianDay() % 73 == 0)
        body += CodePage932::encode(QStringLiteral("にっきを読み返した。\r\n"));
    return body;
}

qint64 createDiary(const QString& folder)
{
    QDir(folder).mkpath(QStringLiteral("data"));
    qint64 total = 0;
    for (int i = 0; i < Days; ++i) {
        const QDate day = LastDay.addDays(i - Days + 1);
        const QByteArray body = longBody(day);
        total += body.size();
        BenchDiary::writeFile(
            folder + QStringLiteral("/data/") + QString::fromLatin1(BenchDiary::key(day)), body);
    }
    BenchDiary::writeFile(folder + QStringLiteral("/diary.ini"),
                          BenchDiary::iniBytes(Days, LastDay));
    return total;
}

QStringList entryPaths(const QString& folder)
{
    QStringList paths;
    for (const QString& name : QDir(folder + QStringLiteral("/data")).entryList(QDir::Files))
        paths.append(folder + QStringLiteral("/data/") + name);
    return paths;
}

qint64 peakRssKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6));
    }
    return 0;
}

struct EngineRun
{
    Samples first;
    Samples full;
    int hits = 0;
};

// As the window sees it: from the keystroke's start() to the first batch and to the end,
// each received through the event loop.
EngineRun throughEngine(SearchEngine& engine, const QString& query)
{
    EngineRun run;
    for (int i = 0; i < Runs; ++i) {
        QEventLoop loop;
        QElapsedTimer clock;
        bool gotFirst = false;
        int hits = 0;
        const auto found = QObject::connect(
            &engine, &SearchEngine::found, &loop, [&](int, const QList<SearchHit>& batch) {
                if (!gotFirst)
                    run.first.add(std::chrono::nanoseconds(clock.nsecsElapsed()));
                gotFirst = true;
                hits += int(batch.size());
            });
        const auto finished = QObject::connect(&engine, &SearchEngine::finished, &loop, [&] {
            run.full.add(std::chrono::nanoseconds(clock.nsecsElapsed()));
            loop.quit();
        });
        clock.start();
        engine.start(query);
        loop.exec();
        QObject::disconnect(found);
        QObject::disconnect(finished);
        run.hits = hits;
    }
    return run;
}

// The same keystroke in the search window: until the first row is listed and until the last.
EngineRun throughWindow(const QString& folder, const QString& query)
{
    const Diary diary(folder);
    const Skin skin = Skin::build(QImage(QStringLiteral(":/scheme.png")),
                                  QImage(QStringLiteral(":/buttons.png")));
    TSearchForm form(skin, diary);
    form.show();
    EngineRun run;
    for (int i = 0; i < Runs; ++i) {
        form.Edit1->clear();
        while (!form.searchDone())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QElapsedTimer clock;
        clock.start();
        form.Edit1->setText(query);
        while (form.ListBox1->count() == 0 && !form.searchDone())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        run.first.add(std::chrono::nanoseconds(clock.nsecsElapsed()));
        while (!form.searchDone())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        run.full.add(std::chrono::nanoseconds(clock.nsecsElapsed()));
        run.hits = form.ListBox1->count();
    }
    return run;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const qint64 bytes = createDiary(folder.path());
    const QStringList paths = entryPaths(folder.path());
    const QString dataDir = folder.path() + QStringLiteral("/data");

    // The floor: every entry file read once, from the page cache as after the first search.
    Samples floor;
    Samples decode;
    Samples fold;
    for (int i = 0; i < Runs; ++i) {
        floor.measure([&] {
            for (const QString& path : paths) {
                QFile file(path);
                file.open(QIODevice::ReadOnly);
                file.readAll();
            }
        });
    }
    for (int i = 0; i < Runs; ++i) {
        decode.measure([&] {
            for (const QString& path : paths) {
                QFile file(path);
                file.open(QIODevice::ReadOnly);
                CodePage932::decode(file.readAll());
            }
        });
    }
    QList<QString> folded;
    for (const QString& path : paths) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        folded.append(SearchMatcher::fold(CodePage932::decode(file.readAll())));
    }
    for (int i = 0; i < Runs; ++i) {
        fold.measure([&] {
            for (const QString& path : paths) {
                QFile file(path);
                file.open(QIODevice::ReadOnly);
                SearchMatcher::fold(CodePage932::decode(file.readAll()));
            }
        });
    }
    // What a folded copy kept in memory would leave: matching alone.
    Samples matchOnly;
    const SearchMatcher rare(QStringLiteral("にっき"));
    for (int i = 0; i < Runs; ++i) {
        matchOnly.measure([&] {
            int n = 0;
            for (const QString& text : std::as_const(folded))
                n += rare.matches(QStringView(), text);
            Q_UNUSED(n);
        });
    }
    qint64 foldedBytes = 0;
    for (const QString& text : std::as_const(folded))
        foldedBytes += text.size() * 2;
    folded.clear();

    const auto titles =
        TIniFile32(folder.path() + QStringLiteral("/diary.ini")).ReadSectionValues("title");
    Samples listing;
    for (int i = 0; i < Runs; ++i) {
        DiarySearch search(DayStore(dataDir), titles);
        listing.measure([&] {
            search.run(
                SearchMatcher(QStringLiteral("x")), [] { return true; }, [](auto&&) {});
        });
    }

    SearchEngine engine(DayStore(dataDir), titles);
    const QStringList queries = {QStringLiteral("にっき"), QStringLiteral("散歩"),
                                 QStringLiteral("雨 猫"), QStringLiteral("見つからない言葉")};
    QList<EngineRun> runs;
    for (const QString& query : queries)
        runs.append(throughEngine(engine, query));

    const EngineRun window = throughWindow(folder.path(), QStringLiteral("散歩"));

    BenchReport::section(QStringLiteral("Search, %L1-day diary, %L2 MB of Shift-JIS")
                             .arg(Days)
                             .arg(bytes / 1e6, 0, 'f', 1));
    BenchReport::figure(QStringLiteral("floor: read every entry file once"), floor);
    BenchReport::figure(QStringLiteral("  read + decode"), decode);
    BenchReport::figure(QStringLiteral("  read + decode + fold"), fold);
    BenchReport::figure(QStringLiteral("  match alone, on a folded copy in memory"), matchOnly);
    BenchReport::figure(QStringLiteral("  list the days and titles (once per window)"), listing);
    for (qsizetype i = 0; i < queries.size(); ++i) {
        BenchReport::figure(
            QStringLiteral("\"%1\" (%L2 days): full list").arg(queries[i]).arg(runs[i].hits),
            runs[i].full);
        if (runs[i].first.count())
            BenchReport::figure(QStringLiteral("\"%1\": first results").arg(queries[i]),
                                runs[i].first);
    }
    BenchReport::figure(
        QStringLiteral("search window, \"散歩\" (%L1 days): full list").arg(window.hits),
        window.full);
    BenchReport::figure(QStringLiteral("search window, \"散歩\": first row listed"), window.first);
    std::printf("  folded copy of the diary would hold %.1f MB; peak RSS of this run %.1f MB\n",
                foldedBytes / 1e6, peakRssKiB() / 1024.0);
    for (qsizetype i = 0; i < queries.size(); ++i)
        BenchReport::ratio(QStringLiteral("search \"%1\" full list / floor").arg(queries[i]),
                           runs[i].full.medianMicros() / floor.medianMicros(),
                           QStringLiteral("aim: <= 300 ms"));
    BenchReport::ratio(QStringLiteral("search \"にっき\" first results / floor"),
                       runs[0].first.medianMicros() / floor.medianMicros(),
                       QStringLiteral("aim: <= 50 ms"));
    BenchReport::ratio(QStringLiteral("search window \"散歩\" full list / floor"),
                       window.full.medianMicros() / floor.medianMicros(),
                       QStringLiteral("aim: <= 300 ms"));
    BenchReport::ratio(QStringLiteral("search window \"散歩\" first row / floor"),
                       window.first.medianMicros() / floor.medianMicros(),
                       QStringLiteral("aim: <= 50 ms"));
    BenchReport::ratio(QStringLiteral("match on a folded copy / search \"にっき\""),
                       matchOnly.medianMicros() / runs[0].full.medianMicros(),
                       QStringLiteral("what a kept copy would save"));
    return 0;
}
