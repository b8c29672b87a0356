// Import of ten thousand entries (a jrnl export of about 40 MB of text, one entry a day) into a
// new diary on the disk, against a backup and restore of the same days: the import reads,
// plans and writes every day through the diary's own save, and should take no more than about
// twice the backup and restore.

#include "archive/DiaryArchive.h"
#include "archive/ImportSource.h"
#include "common/BenchDiary.h"
#include "common/BenchReport.h"
#include "common/Samples.h"
#include "core/diary/Diary.h"
#include "core/storage/CodePage932.h"
#include "core/tasks/DiaryImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {
constexpr int Days = 10000;
constexpr int Runs = 3;
constexpr qsizetype EntryBytes = 4000;
const QDate LastDay(2024, 1, 5);

QByteArray jrnlExport()
{
    QJsonArray entries;
    for (int i = 0; i < Days; ++i) {
        const QDate day = LastDay.addDays(i - Days + 1);
        QByteArray body;
        for (int k = 0; body.size() < EntryBytes; ++k)
            body += BenchDiary::body(day.addDays(k * 1000)) + "\n";
        entries.append(QJsonObject{{"title", CodePage932::decode(BenchDiary::title(day))},
                                   {"body", CodePage932::decode(body)},
                                   {"date", day.toString(Qt::ISODate)},
                                   {"time", "21:00"},
                                   {"tags", QJsonArray{"@bench"}},
                                   {"starred", false}});
    }
    return QJsonDocument(QJsonObject{{"tags", QJsonObject{}}, {"entries", entries}}).toJson();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    const QString source = work.filePath(QStringLiteral("journal.json"));
    {
        QFile file(source);
        file.open(QIODevice::WriteOnly);
        file.write(jrnlExport());
    }
    Samples import, backupRestore;
    for (int i = 0; i < Runs; ++i) {
        const QString diary = work.filePath(QStringLiteral("diary%1").arg(i));
        import.measure([&] {
            const ImportedEntries entries =
                ImportSource::read(ImportSource::Format::Jrnl, source);
        Diary target(diary);
        const DiaryImport::Plan plan =
            DiaryImport::plan(target, entries, QDateTime::currentDateTime());
        DiaryImport::apply(
            target, plan, [] {}, TaskProgress());
    });
    const QString zip = work.filePath(QStringLiteral("backup%1.zip").arg(i));
    const QString restored = work.filePath(QStringLiteral("restored%1").arg(i));
    backupRestore.measure([&] {
        DiaryArchive::backup(diary, zip);
        DiaryArchive::restore(zip, restored);
    });
    QDir(diary).removeRecursively();
    QDir(restored).removeRecursively();
    QFile::remove(zip);
}
BenchReport::section(QStringLiteral("Import: %1 entries of jrnl's JSON, %2 MB")
                         .arg(Days)
                         .arg(QFileInfo(source).size() / (1024 * 1024)));
BenchReport::figure(QStringLiteral("import (read, plan, write every day)"), import);
BenchReport::figure(QStringLiteral("backup and restore of the same days"), backupRestore);
BenchReport::ratio(QStringLiteral("import / backup and restore"),
                   import.medianMicros() / backupRestore.medianMicros(), QStringLiteral("<= 2"));
return 0;
}
