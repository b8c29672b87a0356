#include "archive/CommandLineTasks.h"

#include "archive/DiaryArchive.h"
#include "core/DiaryError.h"
#include "core/DiaryExport.h"
#include "core/SafeFile.h"
#include "core/TaskOptions.h"

#include <QCommandLineParser>
#include <QDate>
#include <QTextStream>

namespace {

const QString& Export = TaskOptions::Export;
const QString& Backup = TaskOptions::Backup;
const QString& Restore = TaskOptions::Restore;
const QString& From = TaskOptions::From;
const QString& To = TaskOptions::To;
const QString& Format = TaskOptions::Format;

constexpr int Failed = 1;
constexpr int Usage = 2;

// A date written yyyymmdd; an invalid date when the text is not one.
QDate dateFrom(const QString& text)
{
    if (text.size() != 8)
        return {};
    return QDate::fromString(text, QStringLiteral("yyyyMMdd"));
}

int exportDiary(const QCommandLineParser& parser, const QString& folder, QTextStream& err)
{
    const QString file = parser.value(Export);
    QDate bounds[2];
    const QString names[2] = {From, To};
    for (int i = 0; i < 2; ++i) {
        if (!parser.isSet(names[i]))
            continue;
        bounds[i] = dateFrom(parser.value(names[i]));
        if (!bounds[i].isValid()) {
            err << QStringLiteral("--%1 には yyyymmdd の形で実在する日付を指定してください: %2\n")
                       .arg(names[i], parser.value(names[i]));
            return Usage;
        }
    }
    if (bounds[0].isValid() && bounds[1].isValid() && bounds[0] > bounds[1]) {
        err << QStringLiteral("--from の日付が --to の日付より後です。\n");
        return Usage;
    }
    DiaryExport::Format format = DiaryExport::formatFor(file);
    if (parser.isSet(Format)) {
        const auto named = DiaryExport::formatNamed(parser.value(Format));
        if (!named) {
            err << QStringLiteral("--format は text、markdown、html のどれかです: %1\n")
                       .arg(parser.value(Format));
            return Usage;
        }
        format = *named;
    }
    if (DiaryArchive::isInsideDiary(folder, file)) {
        err << QStringLiteral("書き出し先を日記の中にはできません: %1\n").arg(file);
        return Usage;
    }
    if (!DiaryArchive::holdsDiary(folder)) {
        err << QStringLiteral("「%1」に日記がありません。\n").arg(folder);
        return Failed;
    }
    const DiaryExport::Result result = DiaryExport::render(folder, format, bounds[0], bounds[1]);
    SafeFile::write(file, result.document);
    err << QStringLiteral("%1 日分を %2 に書き出しました。\n").arg(result.days).arg(file);
    return 0;
}

} // namespace

int CommandLineTasks::run(const QCommandLineParser& parser, const QString& folder, QTextStream& err)
{
    const int tasks =
        int(parser.isSet(Export)) + int(parser.isSet(Backup)) + int(parser.isSet(Restore));
    if (tasks != 1) {
        err << QStringLiteral("--export、--backup、--restore は一度に一つだけ指定してください。\n");
        return Usage;
    }
    if (!parser.isSet(Export) && (parser.isSet(From) || parser.isSet(To) || parser.isSet(Format))) {
        err << QStringLiteral("--from、--to、--format は --export と一緒に使います。\n");
        return Usage;
    }
    try {
        if (parser.isSet(Export))
            return exportDiary(parser, folder, err);
        if (parser.isSet(Backup)) {
            const int files = DiaryArchive::backup(folder, parser.value(Backup));
            err << QStringLiteral("%1 個のファイルを %2 に保存しました。\n")
                       .arg(files)
                       .arg(parser.value(Backup));
            return 0;
        }
        const int files = DiaryArchive::restore(parser.value(Restore), folder);
        err << QStringLiteral("%1 個のファイルを %2 に復元しました。\n").arg(files).arg(folder);
        return 0;
    } catch (const DiaryError& e) {
        err << e.message() << QLatin1Char('\n');
        return Failed;
    }
}
