#pragma once

#include "core/storage/TaskProgress.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class DiaryKey;

// Every day with an entry, oldest first, as one UTF-8 document: the date line and the title as
// a heading, then the body as written. Only reads the diary.
class DiaryExport
{
public:
    enum class Format
    {
        Text,
        Markdown,
        Html
    };

    // "text", "markdown" or "html"; no value for any other name.
    static std::optional<Format> formatNamed(const QString& name);
    // The format a file's extension asks for: .html and .htm HTML, .md and .markdown Markdown,
    // anything else text.
    static Format formatFor(const QString& fileName);

    struct Result
    {
        QByteArray document;
        int days = 0;
        // The date lines of the days left out: their file is no file of the user's own (a link,
        // a pipe), which is never read.
        QStringList leftOut;
    };
    // What an export says when done: the days written to file, and the days left out.
    static QString summary(int days, const QString& file, const QStringList& leftOut);
    // The days from..to, both included; an invalid date leaves that end open. Reports the days
    // done to progress. key: the diary's, when it is encrypted. Throws a DiaryError naming the
    // day when an entry cannot be read, DiaryError::locked for an encrypted diary without its
    // key, or when progress is cancelled; a day whose file is no file of the user's own is left
    // out instead.
    static Result render(const QString& programFolder, Format format, const QDate& from = {},
                         const QDate& to = {}, const TaskProgress& progress = TaskProgress(),
                         std::shared_ptr<const DiaryKey> key = {});
};
