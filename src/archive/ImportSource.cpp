#include "archive/ImportSource.h"

#include "archive/DayOneReader.h"
#include "archive/ImportFiles.h"
#include "archive/JrnlReader.h"
#include "archive/RedNotebookReader.h"
#include "archive/TextFolderReader.h"
#include "core/storage/DiaryError.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

std::optional<ImportSource::Format> ImportSource::formatNamed(const QString& name)
{
    if (name == QLatin1String("dayone"))
        return Format::DayOne;
    if (name == QLatin1String("jrnl"))
        return Format::Jrnl;
    if (name == QLatin1String("rednotebook"))
        return Format::RedNotebook;
    if (name == QLatin1String("text"))
        return Format::Text;
    return std::nullopt;
}

std::optional<ImportSource::Format> ImportSource::detect(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        const QStringList names = QDir(path).entryList(QDir::Files);
        return std::any_of(names.cbegin(), names.cend(), RedNotebookReader::isMonthFile)
                   ? Format::RedNotebook
                   : Format::Text;
    }
    if (ImportFiles::isZip(path)) {
        try {
            if (!ImportFiles::fromZip(path, RedNotebookReader::isMonthFile).isEmpty())
                return Format::RedNotebook;
        } catch (const DiaryError&) {
        }
        return Format::DayOne;
    }
    const QJsonArray entries = QJsonDocument::fromJson(ImportFiles::read(path))
                                   .object()
                                   .value(QStringLiteral("entries"))
                                   .toArray();
    const QJsonObject first = entries.first().toObject();
    if (first.contains(QStringLiteral("creationDate")))
        return Format::DayOne;
    if (first.contains(QStringLiteral("date")))
        return Format::Jrnl;
    return std::nullopt;
}

ImportedEntries ImportSource::read(Format format, const QString& path)
{
    if (!QFileInfo::exists(path))
        throw DiaryError(QStringLiteral("「%1」がありません。").arg(path));
    switch (format) {
    case Format::DayOne:
        return DayOneReader::read(path);
    case Format::Jrnl:
        return JrnlReader::read(path);
    case Format::RedNotebook:
        return RedNotebookReader::read(path);
    case Format::Text:
        break;
    }
    return TextFolderReader::read(path);
}
