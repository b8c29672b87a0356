// Backup, HTML export and restore of a diary of ten thousand days (about 40 MB of Shift-JIS) on
// the disk, each against its floor: reading the diary's files and writing the same bytes as the
// task, with one final sync. A restore should take no more than about twice the backup.

#include "archive/DiaryArchive.h"
#include "common/BenchDiary.h"
#include "common/BenchReport.h"
#include "core/storage/SafeFile.h"
#include "core/storage/StagedFile.h"
#include "core/tasks/DiaryExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int Days = 10000;
constexpr int Runs = 5;
constexpr qsizetype EntryBytes = 4000;
const QDate LastDay(2024, 1, 5);

void createDiary(const QString& folder)
{
    QDir(folder).mkpath(QStringLiteral("data"));
    for (int i = 0; i < Days; ++i) {
        const QDate day = LastDay.addDays(i - Days + 1);
        QByteArray body;
        for (int k = 0; body.size() < EntryBytes; ++k)
            body += BenchDiary::body(day.addDays(k * 1000)) + "\r\n";
        BenchDiary::writeFile(
            folder + QStringLiteral("/data/") + QString::fromLatin1(BenchDiary::key(day)), body);
    }
    BenchDiary::writeFile(folder + QStringLiteral("/diary.ini"),
                          BenchDiary::iniBytes(Days, LastDay));
}

// Every file of the diary, by its name relative to the diary's folder.
QList<QPair<QString, QByteArray>> readDiary(const QString& folder)
{
    QList<QPair<QString, QByteArray>> files;
    files.append(
        {QStringLiteral("diary.ini"), SafeFile::read(folder + QStringLiteral("/diary.ini"))});
    const QString data = folder + QStringLiteral("/data/");
    for (const QString& name : QDir(data).entryList(QDir::Files, QDir::Name))
        files.append({QStringLiteral("data/") + name, SafeFile::read(data + name)});
    return files;
}

// The floor of a task that writes one file: the diary read, then bytes written and synced once.
void writeOnce(const QString& path, qint64 bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const QByteArray chunk(1 << 20, 'x');
    for (qint64 left = bytes; left > 0; left -= chunk.size())
        [[maybe_unused]] const ssize_t n =
            ::write(fd, chunk.constData(), size_t(std::min<qint64>(left, chunk.size())));
    ::fdatasync(fd);
    ::close(fd);
    ::unlink(QFile::encodeName(path).constData());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    const QString diary = work.filePath(QStringLiteral("diary"));
    createDiary(diary);
    const QString zip = work.filePath(QStringLiteral("backup.zip"));
    const QString html = work.filePath(QStringLiteral("diary.html"));

    Samples backup, backupFloor, exportHtml, exportFloor, restore, restoreFloor;
    qint64 diaryBytes = 0;
    for (const auto& file : readDiary(diary))
        diaryBytes += file.second.size();
    for (int i = 0; i < Runs; ++i) {
        backup.measure([&] { DiaryArchive::backup(diary, zip); });
        const qint64 zipBytes = QFileInfo(zip).size();
        backupFloor.measure([&] {
            readDiary(diary);
            writeOnce(zip + QStringLiteral(".floor"), zipBytes);
        });

        qint64 htmlBytes = 0;
        exportHtml.measure([&] {
            StagedFile out(html, StagedFile::ReplaceFile);
            const QByteArray document =
                DiaryExport::render(diary, DiaryExport::Format::Html).document;
            out.write(document);
            out.commit();
            htmlBytes = document.size();
        });
        exportFloor.measure([&] {
            readDiary(diary);
            writeOnce(html + QStringLiteral(".floor"), htmlBytes);
        });

        const QString target = work.filePath(QStringLiteral("restored%1").arg(i));
        restore.measure([&] { DiaryArchive::restore(zip, target); });
        const QString floorTarget = work.filePath(QStringLiteral("floor%1").arg(i));
        restoreFloor.measure([&] {
            const auto files = readDiary(diary);
            QDir(floorTarget).mkpath(QStringLiteral("data"));
            for (const auto& file : files)
                BenchDiary::writeFile(floorTarget + QLatin1Char('/') + file.first, file.second);
            const int fd = ::open(QFile::encodeName(floorTarget).constData(), O_RDONLY);
            ::syncfs(fd);
            ::close(fd);
        });
        QDir(target).removeRecursively();
        QDir(floorTarget).removeRecursively();
    }

    BenchReport::section(QStringLiteral("Archive: %1 days, %2 MB on the disk")
                             .arg(Days)
                             .arg(diaryBytes / (1024 * 1024)));
    BenchReport::figure(QStringLiteral("backup"), backup);
    BenchReport::figure(QStringLiteral("backup floor (read, write the zip's bytes, one sync)"),
                        backupFloor);
    BenchReport::figure(QStringLiteral("export html"), exportHtml);
    BenchReport::figure(QStringLiteral("export floor (read, write the page's bytes, one sync)"),
                        exportFloor);
    BenchReport::figure(QStringLiteral("restore"), restore);
    BenchReport::figure(QStringLiteral("restore floor (write every file, one syncfs)"),
                        restoreFloor);
    BenchReport::ratio(QStringLiteral("backup / its floor"),
                       backup.medianMicros() / backupFloor.medianMicros());
    BenchReport::ratio(QStringLiteral("export html / its floor"),
                       exportHtml.medianMicros() / exportFloor.medianMicros(),
                       QStringLiteral("<= 3"));
    BenchReport::ratio(QStringLiteral("restore / its floor"),
                       restore.medianMicros() / restoreFloor.medianMicros());
    BenchReport::ratio(QStringLiteral("restore / backup"),
                       restore.medianMicros() / backup.medianMicros(), QStringLiteral("<= 2"));
    return 0;
}
