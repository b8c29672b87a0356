// Start-up to the first painted window on a diary of ten thousand days, against the same start
// on an empty folder and on a diary of only the last three days, which shows the same text: what
// the diary's size adds to the wait before the window appears. Then close, which writes back.

#include "common/BenchClock.h"
#include "common/BenchDiary.h"
#include "common/BenchReport.h"
#include "common/BenchWindow.h"
#include "common/PlainSave.h"
#include "core/storage/IniFile32.h"
#include "core/storage/SafeFile.h"
#include "widgets/Dialogs.h"
#include "windows/MainForm.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {
constexpr int Days = 10000;
constexpr int Starts = 15;
constexpr int Closes = 6;
const QDate Today(2024, 1, 5);
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QStringList messages;
    Dialogs::seams().error = [&](const QString& text) { messages << text; };

    QApplication::setQuitOnLastWindowClosed(false);
    QTemporaryDir fullTemp;
    QTemporaryDir shortTemp;
    QTemporaryDir emptyTemp;
    BenchDiary::create(fullTemp.path(), Days, Today);
    BenchDiary::create(shortTemp.path(), 3, Today);
    const BenchClock clock(QDateTime(Today, QTime(12, 0)));

    // The first window of a process loads fonts, cursors and pictures: not counted.
    std::unique_ptr<TForm1> form = BenchWindow::start(emptyTemp.path(), clock);
    BenchWindow::dispose(form);
    form = BenchWindow::start(fullTemp.path(), clock);
    BenchWindow::dispose(form);

    Samples full;
    Samples threeDays;
    Samples empty;
    for (int i = 0; i < Starts; ++i) {
        empty.measure([&] { form = BenchWindow::start(emptyTemp.path(), clock); });
        BenchWindow::dispose(form);
        threeDays.measure([&] { form = BenchWindow::start(shortTemp.path(), clock); });
        BenchWindow::dispose(form);
        full.measure([&] { form = BenchWindow::start(fullTemp.path(), clock); });
        BenchWindow::dispose(form);
    }

    // Close saves the shown day and writes each of the eleven settings on its own: one entry
    // file and twelve rewrites of diary.ini, against the same writes done plainly.
    const QDir fullDir(fullTemp.path());
    const QString entryPath = fullDir.filePath(QStringLiteral("data/") + BenchDiary::key(Today));
    const QString iniPath = fullDir.filePath(QStringLiteral("diary.ini"));
    Samples close;
    Samples closeFloor;
    for (int i = 0; i < Closes; ++i) {
        form = BenchWindow::start(fullTemp.path(), clock);
        bool closed = false;
        close.measure([&] { closed = form->close(); });
        if (!closed)
            qFatal("the window did not close");
        BenchWindow::dispose(form);
        const QByteArray entry = SafeFile::read(entryPath);
        const QByteArray ini = SafeFile::read(iniPath);
        closeFloor.measure([&] {
            PlainSave::write(fullDir.filePath(QStringLiteral("data/floor")), entry);
            for (int write = 0; write < 12; ++write)
                PlainSave::write(fullDir.filePath(QStringLiteral("floor.ini")), ini);
        });
    }

    Samples iniLoad;
    const QString ini = QDir(fullTemp.path()).filePath(QStringLiteral("diary.ini"));
    for (int i = 0; i < Starts; ++i)
        iniLoad.measure([&] { TIniFile32 loaded(ini); });

    if (!messages.isEmpty()) {
        std::fprintf(stderr, "start-up showed messages: %s\n", qPrintable(messages.join(u'\n')));
        return 1;
    }

    BenchReport::section(QStringLiteral("3. Start-up to the first painted window"));
    BenchReport::figure(QStringLiteral("construct + show, %L1-day diary").arg(Days), full);
    BenchReport::figure(QStringLiteral("construct + show, 3-day diary (same last days)"),
                        threeDays);
    BenchReport::figure(QStringLiteral("construct + show, empty folder"), empty);
    BenchReport::figure(QStringLiteral("  of which: loading the %L1-day diary.ini").arg(Days),
                        iniLoad);
    BenchReport::ratio(QStringLiteral("%L1-day diary / empty folder").arg(Days),
                       full.medianMicros() / empty.medianMicros(), QStringLiteral("no aim given"));
    BenchReport::ratio(QStringLiteral("%L1-day diary / 3-day diary").arg(Days),
                       full.medianMicros() / threeDays.medianMicros(),
                       QStringLiteral("what the diary's size alone adds"));

    BenchReport::section(QStringLiteral("3. Close, %L1-day diary").arg(Days));
    BenchReport::figure(
        QStringLiteral("close (shown day + settings, diary.ini written at most once)"), close);
    BenchReport::figure(QStringLiteral("floor: QSaveFile entry + 12 x QSaveFile diary.ini"),
                        closeFloor);
    BenchReport::ratio(QStringLiteral("close / floor"),
                       close.medianMicros() / closeFloor.medianMicros());
    return 0;
}
