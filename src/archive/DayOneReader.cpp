#include "archive/DayOneReader.h"

#include "archive/ImportFiles.h"
#include "archive/JsonExport.h"
#include "core/storage/DiaryError.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonObject>
#include <QTimeZone>

namespace {

const QString Format = QStringLiteral("Day One");

int attachmentsOf(const QJsonObject& entry)
{
    int count = 0;
    for (const char* field : {"photos", "videos", "audios", "pdfAttachments"})
        count += int(entry.value(QLatin1String(field)).toArray().size());
    return count;
}

} // namespace

QString DayOneReader::unescaped(const QString& text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size() && text.at(i + 1).unicode() < 128 &&
            text.at(i + 1).isPunct())
            ++i;
        plain += text.at(i);
    }
    return plain;
}

void DayOneReader::readJournal(const QByteArray& json, const QString& name, ImportedEntries& into)
{
    const QJsonArray entries =
        JsonExport::entries(json, name, Format, QStringLiteral("creationDate"));
    for (const QJsonValue& value : entries) {
        const QJsonObject object = value.toObject();
        const QString created = object.value(QStringLiteral("creationDate")).toString();
        const QDateTime at = QDateTime::fromString(created, Qt::ISODateWithMs);
        if (!at.isValid()) {
            into.leftOut << QStringLiteral("%1 %2: 作成日時「%3」を読めません")
                                .arg(name, object.value(QStringLiteral("uuid")).toString(),
                                     created);
            continue;
        }
        // An entry that names no zone (or one unknown here) was written in the computer's.
        const QByteArray zone = object.value(QStringLiteral("timeZone")).toString().toUtf8();
        const QTimeZone named = zone.isEmpty() ? QTimeZone() : QTimeZone(zone);
        const QDateTime local =
            at.toTimeZone(named.isValid() ? named : QTimeZone::systemTimeZone());
        ImportedEntry entry;
        entry.day = local.date();
        entry.label = local.toString(QStringLiteral("HH:mm"));
        entry.order = at.toMSecsSinceEpoch();
        QString text = unescaped(object.value(QStringLiteral("text")).toString());
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        // A heading on the first line is the entry's title.
        qsizetype start = 0;
        while (start < text.size() && text.at(start) == QLatin1Char('\n'))
            ++start;
        if (QStringView(text).mid(start).startsWith(QLatin1String("# "))) {
            const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
            entry.title = text.mid(start + 2, end < 0 ? -1 : end - start - 2).trimmed();
            text = end < 0 ? QString() : text.mid(end + 1);
            while (text.startsWith(QLatin1Char('\n')))
                text.remove(0, 1);
        }
        entry.text = text;
        for (const QJsonValue& tag : object.value(QStringLiteral("tags")).toArray())
            entry.tags << tag.toString();
        entry.starred = object.value(QStringLiteral("starred")).toBool();
        entry.attachments = attachmentsOf(object);
        into.entries << entry;
    }
}

ImportedEntries DayOneReader::read(const QString& path)
{
    ImportedEntries read;
    if (!ImportFiles::isZip(path)) {
        readJournal(ImportFiles::read(path), QFileInfo(path).fileName(), read);
        return read;
    }
    const QList<ImportFiles::File> journals = ImportFiles::fromZip(path, [](const QString& name) {
        return !name.contains(QLatin1Char('/')) &&
               name.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
    });
    if (journals.isEmpty())
        throw DiaryError(
            QStringLiteral("「%1」に Day One の日記 (*.json) がありません。").arg(path));
    for (const ImportFiles::File& journal : journals)
        readJournal(journal.bytes, journal.name, read);
    return read;
}
