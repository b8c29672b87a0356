#pragma once

#include <QDate>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// What an import read from another diary's export, before it meets this diary: each entry on
// its day, and what was left out with the reason. The archive program reads the export (with
// libraries the window must not load) and hands this over as JSON lines.
struct ImportedEntry
{
    QDate day;
    // The entry's time ("09:30") or, when it has none, the file it came from: the line above it
    // when a day has several entries.
    QString label;
    // Orders a day's entries: milliseconds since the epoch, or a running number.
    qint64 order = 0;
    QString title;
    QString text;
    QStringList tags;
    bool starred = false;
    // Photos and other files the entry had; they are not imported.
    int attachments = 0;

    QJsonObject toJson() const;
    // No day when the object is none of ours.
    static ImportedEntry fromJson(const QJsonObject& object);
};

struct ImportedEntries
{
    QList<ImportedEntry> entries;
    // "name: reason" for each entry or file left out.
    QStringList leftOut;
};
