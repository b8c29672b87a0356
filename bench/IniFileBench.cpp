// The INI engine on diary.ini files of growing size. A title near the end of [title], and a
// setting of [data] after it, are reached by a scan of every line before them; every write
// rewrites the whole file. Figures per line show whether the cost grows linearly.

#include "common/BenchDiary.h"
#include "common/BenchReport.h"
#include "common/PlainSave.h"
#include "core/storage/IniFile32.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {
const QDate Today(2024, 1, 5);
const QByteArray TitleSection = QByteArrayLiteral("title");
const QByteArray DataSection = QByteArrayLiteral("data");

struct Size
{
    int lines;
    int loads;
    int reads;
    int writes;
};

struct Result
{
    Size size;
    qsizetype bytes = 0;
    Samples load;
    Samples readTitle;
    Samples readSetting;
    Samples write;
    Samples floor;
    Samples memoryWrite;
    Samples memoryFloor;
};

// Rewrites one title with the value it has, so each write and its floor move the same bytes.
void measureWrites(const QDir& folder, const Size& size, const QByteArray& bytes, Samples& write,
                   Samples& floor)
{
    const QString path = folder.filePath(QStringLiteral("diary-%1.ini").arg(size.lines));
    const QString floorPath = folder.filePath(QStringLiteral("floor-%1.ini").arg(size.lines));
    BenchDiary::writeFile(path, bytes);
    const QDate day = Today.addDays(-1);
    const QByteArray key = BenchDiary::key(day);
    const QByteArray title = BenchDiary::title(day);
    TIniFile32 ini(path);
    for (int i = 0; i < size.writes; ++i) {
        write.measure([&] { ini.WriteString(TitleSection, key, title); });
        floor.measure([&] { PlainSave::write(floorPath, bytes); });
    }
    if (QFileInfo(path).size() != bytes.size() || ini.Lines().size() != size.lines + 15)
        qFatal("WriteString did not replace the title in place");
}

Result measure(const QDir& disk, const QDir* memory, const Size& size)
{
    Result r;
    r.size = size;
    const QByteArray bytes = BenchDiary::iniBytes(size.lines, Today);
    r.bytes = bytes.size();
    const QString path = disk.filePath(QStringLiteral("read-%1.ini").arg(size.lines));
    BenchDiary::writeFile(path, bytes);

    for (int i = 0; i < size.loads; ++i)
        r.load.measure([&] { TIniFile32 loaded(path); });

    // The day before the last one: its line is second to last in [title].
    const QDate day = Today.addDays(-1);
    const QByteArray key = BenchDiary::key(day);
    const TIniFile32 ini(path);
    QByteArray title;
    QByteArray scrollBar;
    for (int i = 0; i < size.reads; ++i) {
        r.readTitle.measure([&] { title = ini.ReadString(TitleSection, key, {}); });
        r.readSetting.measure([&] { scrollBar = ini.ReadString(DataSection, "scrollbar", {}); });
    }
    if (title != BenchDiary::title(day) || scrollBar != "0")
        qFatal("ReadString did not find what was written");

    measureWrites(disk, size, bytes, r.write, r.floor);
    if (memory)
        measureWrites(*memory, size, bytes, r.memoryWrite, r.memoryFloor);
    return r;
}

double perLine(const Samples& samples, int lines)
{
    return samples.medianMicros() * 1000.0 / lines;
}

double growth(const Result& small, const Result& large, Samples Result::*figure)
{
    return perLine(large.*figure, large.size.lines) / perLine(small.*figure, small.size.lines);
}

// What a write in memory costs beyond the plain save of the same bytes: the engine's own work.
double memoryNetPerLine(const Result& r)
{
    return (r.memoryWrite.medianMicros() - r.memoryFloor.medianMicros()) * 1000.0 / r.size.lines;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir disk;
    const std::unique_ptr<QTemporaryDir> memory = BenchDiary::memoryFolder();
    const QDir diskDir(disk.path());
    const QDir memoryDir(memory ? memory->path() : QString());
    const QDir* memoryFolder = memory ? &memoryDir : nullptr;

    const QList<Size> sizes = {{1000, 20, 400, 40}, {10000, 20, 200, 40}, {100000, 6, 30, 12}};
    QList<Result> results;
    for (const Size& size : sizes)
        results.append(measure(diskDir, memoryFolder, size));

    for (const Result& r : results) {
        BenchReport::section(QStringLiteral("2. TIniFile32, diary.ini of %L1 title lines (%L2 B)")
                                 .arg(r.size.lines)
                                 .arg(r.bytes));
        BenchReport::figure(QStringLiteral("load (constructor)"), r.load);
        BenchReport::figure(QStringLiteral("ReadString, title near the end of [title]"),
                            r.readTitle);
        BenchReport::figure(QStringLiteral("ReadString, setting in [data] after [title]"),
                            r.readSetting);
        BenchReport::figure(QStringLiteral("WriteString, that title (rewrites the file)"), r.write);
        BenchReport::figure(QStringLiteral("floor: QSaveFile of the same bytes"), r.floor);
        if (memoryFolder) {
            BenchReport::figure(
                QStringLiteral("WriteString, in memory (%1)").arg(BenchDiary::memoryRoot()),
                r.memoryWrite);
            BenchReport::figure(QStringLiteral("floor: QSaveFile, in memory"), r.memoryFloor);
        }
        BenchReport::ratio(QStringLiteral("WriteString / floor, %L1 lines").arg(r.size.lines),
                           r.write.medianMicros() / r.floor.medianMicros());
    }

    BenchReport::heading(QStringLiteral("2. TIniFile32, ns per line (medians / lines)"));
    std::printf("  %8s %10s %10s %10s %12s %12s %12s\n", "lines", "load", "read title", "read data",
                "write disk", "write mem", "mem - floor");
    for (const Result& r : results) {
        const int n = r.size.lines;
        std::printf("  %8d %10.1f %10.1f %10.1f %12.1f %12.1f %12.1f\n", n, perLine(r.load, n),
                    perLine(r.readTitle, n), perLine(r.readSetting, n), perLine(r.write, n),
                    perLine(r.memoryWrite, n), memoryNetPerLine(r));
    }
    const Result& small = results.first();
    const Result& large = results.last();
    const QString linear = QStringLiteral("~1 when linear");
    BenchReport::ratio(QStringLiteral("ReadString per line, 100,000 / 1,000 lines"),
                       growth(small, large, &Result::readTitle), linear);
    BenchReport::ratio(QStringLiteral("load per line, 100,000 / 1,000 lines"),
                       growth(small, large, &Result::load), linear);
    if (memoryFolder) {
        BenchReport::ratio(QStringLiteral("WriteString's own work per line, 100,000 / 1,000"),
                           memoryNetPerLine(large) / memoryNetPerLine(small), linear);
    }
    return 0;
}
