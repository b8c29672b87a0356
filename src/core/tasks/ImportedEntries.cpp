#include "core/tasks/ImportedEntries.h"

#include <QJsonArray>

QJsonObject ImportedEntry::toJson() const
{
    return {{QStringLiteral("day"), day.toString(Qt::ISODate)},
            {QStringLiteral("label"), label},
            {QStringLiteral("order"), QString::number(order)},
            {QStringLiteral("title"), title},
            {QStringLiteral("text"), text},
            {QStringLiteral("tags"), QJsonArray::fromStringList(tags)},
            {QStringLiteral("starred"), starred},
            {QStringLiteral("attachments"), attachments}};
}

ImportedEntry ImportedEntry::fromJson(const QJsonObject& object)
{
    ImportedEntry entry;
    entry.day = QDate::fromString(object.value(QStringLiteral("day")).toString(), Qt::ISODate);
    entry.label = object.value(QStringLiteral("label")).toString();
    entry.order = object.value(QStringLiteral("order")).toString().toLongLong();
    entry.title = object.value(QStringLiteral("title")).toString();
    entry.text = object.value(QStringLiteral("text")).toString();
    for (const QJsonValue& tag : object.value(QStringLiteral("tags")).toArray())
        entry.tags << tag.toString();
    entry.starred = object.value(QStringLiteral("starred")).toBool();
    entry.attachments = object.value(QStringLiteral("attachments")).toInt();
    return entry;
}
