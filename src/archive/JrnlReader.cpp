#include "archive/JrnlReader.h"

#include "archive/ImportFiles.h"
#include "archive/JsonExport.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonObject>
#include <QTimeZone>

ImportedEntries JrnlReader::read(const QString& path)
{
    return read(ImportFiles::read(path), QFileInfo(path).fileName());
}

ImportedEntries JrnlReader::read(const QByteArray& json, const QString& name)
{
    ImportedEntries read;
    const QJsonArray entries =
        JsonExport::entries(json, name, QStringLiteral("jrnl"), QStringLiteral("date"));
    for (const QJsonValue& value : entries) {
        const QJsonObject object = value.toObject();
        const QString date = object.value(QStringLiteral("date")).toString();
        const QString time = object.value(QStringLiteral("time")).toString();
        ImportedEntry entry;
        entry.day = QDate::fromString(date, Qt::ISODate);
        if (!entry.day.isValid()) {
            read.leftOut << QStringLiteral("%1: 日付「%2」を読めません (%3)")
                                .arg(name, date, object.value(QStringLiteral("title")).toString());
            continue;
        }
        const QTime at = QTime::fromString(time, QStringLiteral("HH:mm"));
        entry.label = at.isValid() ? time : QString();
        entry.order = QDateTime(entry.day, at.isValid() ? at : QTime(0, 0), QTimeZone::utc())
                          .toMSecsSinceEpoch();
        entry.title = object.value(QStringLiteral("title")).toString();
        entry.text = object.value(QStringLiteral("body")).toString();
        entry.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        for (const QJsonValue& tag : object.value(QStringLiteral("tags")).toArray())
            entry.tags << tag.toString();
        entry.starred = object.value(QStringLiteral("starred")).toBool();
        read.entries << entry;
    }
    return read;
}
