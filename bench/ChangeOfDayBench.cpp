// One change of day through the main window on a diary of ten thousand days, against the two
// atomic writes such a change cannot do without: the entry file and diary.ini. Measured on disk,
// where the fsyncs dominate, and in memory, where what is left is the program's own work.

#include "common/BenchClock.h"
#include "common/BenchDiary.h"
#include "common/BenchReport.h"
#include "common/PlainSave.h"
#include "core/storage/SafeFile.h"
#include "core/time/DiaryDate.h"
#include "editor/ColorMemo.h"
#include "widgets/Dialogs.h"
#include "windows/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

namespace {
constexpr int Days = 10000;
constexpr int WarmUp = 4;
constexpr int Changes = 60;
constexpr int Loads = 100;
const QDate Today(2024, 1, 5);

struct Result
{
    qsizetype entryBytes = 0;
    qsizetype iniBytes = 0;
    Samples trigger;
    Samples change;
    Samples floor;
    Samples save;
    Samples saveFloor;
    Samples entryFloor;
    Samples iniFloor;
    Samples load;
};

Result run(const QString& path, QStringList& messages)
{
    Result r;
    const QDir folder(path);
    BenchDiary::create(path, Days, Today);
    const QString todayEntry = folder.filePath(QStringLiteral("data/") + BenchDiary::key(Today));
    const QString iniPath = folder.filePath(QStringLiteral("diary.ini"));
    const QDateTime generatedAt = QFileInfo(todayEntry).lastModified();

    const BenchClock clock(QDateTime(Today, QTime(12, 0)));
    TForm1 form(path, clock);
    if (!form.FormCreate() || !messages.isEmpty())
        qFatal("start-up failed: %s", qPrintable(messages.join(u'\n')));
    form.show();
    QCoreApplication::processEvents();

    // The window opens on today, the diary's last day. Going back and forth, every change
    // leaves a day that holds text, so it is written (a title near the end of [title]), and
    // reaches a day that has an entry to load.
    bool back = true;
    // A day left as it was is not written again, so each day is edited before it is left: a
    // full stop added or taken away at the end.
    const auto edit = [&] {
        const QString text = form.Memo1->text();
        form.Memo1->setText(text.endsWith(u'.') ? text.chopped(1) : text + u'.');
    };
    const auto changeDay = [&] {
        edit();
        (back ? form.back1 : form.forwordd1)->trigger();
        back = !back;
        QCoreApplication::processEvents();
    };
    for (int i = 0; i < WarmUp; ++i)
        changeDay();

    const QByteArray entry = SafeFile::read(todayEntry);
    const QByteArray ini = SafeFile::read(iniPath);
    r.entryBytes = entry.size();
    r.iniBytes = ini.size();
    const QString floorEntry = folder.filePath(QStringLiteral("data/floor"));
    const QString floorIni = folder.filePath(QStringLiteral("floor.ini"));
    const auto floorPair = [&] {
        PlainSave::write(floorEntry, entry);
        PlainSave::write(floorIni, ini);
    };

    // Interleaved, so that the disk's mood changes both figures alike.
    for (int i = 0; i < Changes; ++i) {
        edit();
        const auto start = std::chrono::steady_clock::now();
        (back ? form.back1 : form.forwordd1)->trigger();
        back = !back;
        const auto triggered = std::chrono::steady_clock::now();
        QCoreApplication::processEvents();
        r.trigger.add(triggered - start);
        r.change.add(std::chrono::steady_clock::now() - start);
        r.floor.measure(floorPair);
    }
    for (int i = 0; i < Changes / 2; ++i) {
        edit();
        r.save.measure([&] { form.shownDay()->save(); });
        r.saveFloor.measure(floorPair);
        r.entryFloor.measure([&] { PlainSave::write(floorEntry, entry); });
        r.iniFloor.measure([&] { PlainSave::write(floorIni, ini); });
    }
    const double shown = form.shownDay()->date();
    for (int i = 0; i < Loads; ++i) {
        const double day = shown - (i % 2);
        r.load.measure([&] {
            form.ShowDate(day);
            form.shownDay()->load(day);
            QCoreApplication::processEvents();
        });
    }
    form.ShowDate(shown);
    form.shownDay()->load(shown);

    // The figures mean nothing unless every change really saved and loaded.
    const bool written = QFileInfo(todayEntry).lastModified() > generatedAt;
    QByteArray today = SafeFile::read(todayEntry);
    QByteArray first = entry;
    for (QByteArray* bytes : {&today, &first}) {
        if (bytes->endsWith('.'))
            bytes->chop(1);
    }
    const bool unchanged = today == first && SafeFile::read(iniPath) == ini;
    if (!messages.isEmpty() || !written || !unchanged ||
        form.Label1->text() != DiaryDate::dateLine(shown) ||
        DiaryDate::key(shown).toLatin1() != BenchDiary::key(Today))
        qFatal("the change of day did not run as expected: %s", qPrintable(messages.join(u'\n')));
    return r;
}

void report(const QString& where, const QString& aim, const Result& r)
{
    BenchReport::section(QStringLiteral("1. Change of day, %L1-day diary, %2 (entry %L3 B, "
                                        "diary.ini %L4 B)")
                             .arg(Days)
                             .arg(where)
                             .arg(r.entryBytes)
                             .arg(r.iniBytes));
    BenchReport::figure(QStringLiteral("change of day (back/forwordd trigger)"), r.trigger);
    BenchReport::figure(QStringLiteral("change of day and its repaint"), r.change);
    BenchReport::figure(QStringLiteral("floor: QSaveFile entry + QSaveFile diary.ini"), r.floor);
    BenchReport::figure(QStringLiteral("  SaveDay alone (entry + WriteString title)"), r.save);
    BenchReport::figure(QStringLiteral("  floor measured beside SaveDay"), r.saveFloor);
    BenchReport::figure(QStringLiteral("  floor part: QSaveFile entry"), r.entryFloor);
    BenchReport::figure(QStringLiteral("  floor part: QSaveFile diary.ini"), r.iniFloor);
    BenchReport::figure(QStringLiteral("  ShowDate + LoadDay + repaint (no write)"), r.load);
    BenchReport::ratio(QStringLiteral("change of day / floor, %1").arg(where),
                       r.trigger.medianMicros() / r.floor.medianMicros(), aim);
    BenchReport::ratio(QStringLiteral("change of day and repaint / floor, %1").arg(where),
                       r.change.medianMicros() / r.floor.medianMicros());
    BenchReport::ratio(QStringLiteral("SaveDay / floor, %1").arg(where),
                       r.save.medianMicros() / r.saveFloor.medianMicros());
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QStringList messages;
    Dialogs::seams().error = [&](const QString& text) { messages << text; };

    QTemporaryDir disk;
    report(QStringLiteral("on disk"), QStringLiteral("aim <= 2x"), run(disk.path(), messages));
    if (const std::unique_ptr<QTemporaryDir> memory = BenchDiary::memoryFolder())
        report(QStringLiteral("in memory"), QStringLiteral("the program's own work shows"),
               run(memory->path(), messages));
    return 0;
}
