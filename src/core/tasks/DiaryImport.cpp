#include "core/tasks/DiaryImport.h"

#include "core/diary/DayMerge.h"
#include "core/diary/DayStore.h"
#include "core/diary/Diary.h"
#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"
#include "core/storage/IniFile32.h"
#include "core/storage/SafeFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// Days written at once: one sync of the disk for their files and one write of diary.ini for
// their titles. A stop comes between two such writes.
constexpr qsizetype DaysPerWrite = 2048;

QString shownDate(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

bool isEmpty(const ImportedEntry& entry)
{
    return entry.title.trimmed().isEmpty() && entry.text.trimmed().isEmpty() &&
           entry.tags.isEmpty();
}

QString tagLine(const QStringList& tags)
{
    QStringList words;
    for (QString tag : tags) {
        while (tag.startsWith(QLatin1Char('#')) || tag.startsWith(QLatin1Char('@')))
            tag.remove(0, 1);
        // A tag of several words stays one word after its "#".
        tag = tag.trimmed().replace(QLatin1Char(' '), QLatin1Char('_'));
        if (!tag.isEmpty())
            words << QLatin1Char('#') + tag;
    }
    return words.join(QLatin1Char(' '));
}

// The line above each entry of a day that has several.
QString timeLine(const QString& label)
{
    return label.isEmpty() ? QStringLiteral("────────") : QStringLiteral("── %1 ──").arg(label);
}

} // namespace

QString DiaryImport::compose(const QList<ImportedEntry>& entries, bool titleTaken)
{
    QStringList blocks;
    bool firstTitle = true;
    for (const ImportedEntry& entry : entries) {
        QStringList lines;
        if (entries.size() > 1)
            lines << timeLine(entry.label);
        const QString title = entry.title.trimmed();
        if (!title.isEmpty()) {
            if (!(firstTitle && titleTaken))
                lines << title;
            firstTitle = false;
        }
        QString text = entry.text;
        while (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        if (!text.trimmed().isEmpty())
            lines << text;
        const QString tags = tagLine(entry.tags);
        if (!tags.isEmpty())
            lines << tags;
        if (entry.starred)
            lines << QStringLiteral("★");
        blocks << lines.join(QLatin1Char('\n'));
    }
    return blocks.join(QStringLiteral("\n\n"));
}

DiaryImport::Plan DiaryImport::plan(Diary& diary, const ImportedEntries& source,
                                    const QDateTime& now)
{
    Plan plan;
    plan.leftOut = source.leftOut;
    QMap<QDate, QList<ImportedEntry>> byDay;
    for (const ImportedEntry& entry : source.entries) {
        if (entry.attachments > 0)
            plan.attachments[entry.day] += entry.attachments;
        if (isEmpty(entry)) {
            plan.leftOut << QStringLiteral("%1 %2: 本文のないエントリー")
                                .arg(shownDate(entry.day), entry.label);
            continue;
        }
        byDay[entry.day] << entry;
    }
    const QString separator = DayMerge::separator(DayMerge::Kind::Text, now);
    for (auto it = byDay.cbegin(); it != byDay.cend(); ++it) {
        const QString key = it.key().toString(QStringLiteral("yyyyMMdd"));
        Diary::DayText existing;
        const bool exists = diary.hasEntry(key);
        if (exists) {
            try {
                existing = diary.loadDay(key);
            } catch (const DiaryError& e) {
                plan.leftOut << QStringLiteral("%1: この日の日記を読めないため読み込みません (%2)")
                                    .arg(shownDate(it.key()), e.message());
                continue;
            }
        }
        QList<ImportedEntry> entries = it.value();
        std::stable_sort(
            entries.begin(), entries.end(),
            [](const ImportedEntry& a, const ImportedEntry& b) { return a.order < b.order; });
        QString title;
        for (const ImportedEntry& entry : entries) {
            if (!entry.title.trimmed().isEmpty()) {
                title = entry.title.trimmed();
                break;
            }
        }
        const bool titleTaken =
            !title.isEmpty() && (existing.title.isEmpty() || existing.title == title);
        const QString text = compose(entries, titleTaken);
        Day day{key, titleTaken ? title : existing.title, existing.body, exists};
        if (!existing.body.contains(text)) {
            if (existing.body.isEmpty())
                day.body = text;
            else
                day.body =
                    existing.body +
                    (existing.body.endsWith(QLatin1Char('\n')) ? QString() : QStringLiteral("\n")) +
                    separator + QLatin1Char('\n') + text;
        }
        plan.entries += int(entries.size());
        if (!plan.first.isValid())
            plan.first = it.key();
        plan.last = it.key();
        if (exists && day.title == existing.title && day.body == existing.body) {
            ++plan.unchanged;
            continue;
        }
        // A day longer than the editor takes could not be loaded again: left out before anything
        // is written.
        // No character takes more than ten bytes in the file (a reference "&#x1F600;" for two
        // UTF-16 units is nine): only a long text is converted to be measured.
        if (day.body.size() * 10 > DayStore::MaxBodyBytes &&
            CodePage932::encode(day.body).size() > DayStore::MaxBodyBytes) {
            plan.leftOut << QStringLiteral("%1: %2").arg(shownDate(it.key()),
                                                         DiaryError::memoLimit().message());
            continue;
        }
        plan.days << day;
    }
    return plan;
}

int DiaryImport::apply(Diary& diary, const Plan& plan, const std::function<void()>& backup,
                       const TaskProgress& progress)
{
    if (plan.days.isEmpty())
        return 0;
    progress.check();
    backup();
    int written = 0;
    const qint64 total = plan.days.size();
    try {
        for (qsizetype start = 0; start < plan.days.size(); start += DaysPerWrite) {
            progress.check();
            const QList<Day> chunk = plan.days.mid(start, DaysPerWrite);
            diary.IniFile().writeOnce([&] {
                QList<std::pair<QString, QByteArray>> files;
                QList<const Day*> titles;
                for (const Day& day : chunk) {
                    // A day changed on disk since it was planned (a sync tool brought it) is
                    // saved on its own, both texts kept.
                    if (diary.changedOnDisk(day.key)) {
                        diary.saveDay(day.key, day.title, day.body);
                        continue;
                    }
                    if (std::optional<QByteArray> bytes = diary.days().fileFor(day.key, day.body))
                        files.append({diary.days().entryPath(day.key), *bytes});
                    titles << &day;
                }
                SafeFile::writeMany(files, SafeFile::Links::Refused);
                for (const Day* day : std::as_const(titles))
                    diary.writeTitle(day->key, day->title);
            });
            written += int(chunk.size());
            progress.report(written, total);
        }
    } catch (const DiaryError& e) {
        throw DiaryError(QStringLiteral("%1\n%2 日分を書き込んだところで止まりました。")
                             .arg(e.message())
                             .arg(written),
                         e.kind());
    }
    return written;
}

QString DiaryImport::backupPath(const QString& folder)
{
    const QString stem = QStringLiteral("import-backup-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(folder);
    QString path = dir.filePath(stem + QStringLiteral(".zip"));
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = dir.filePath(QStringLiteral("%1-%2.zip").arg(stem).arg(n));
    return path;
}

int DiaryImport::Plan::joined() const
{
    return int(
        std::count_if(days.cbegin(), days.cend(), [](const Day& day) { return day.joined; }));
}

QString DiaryImport::Plan::preview() const
{
    QStringList lines;
    if (first.isValid())
        lines << QStringLiteral("%1 〜 %2 の %3 件のエントリー")
                     .arg(shownDate(first), shownDate(last))
                     .arg(entries);
    else
        lines << QStringLiteral("読み込めるエントリーはありません。");
    lines << QStringLiteral("新しい日: %1 日").arg(days.size() - joined());
    lines << QStringLiteral("ある日に書き足す: %1 日").arg(joined());
    if (unchanged > 0)
        lines << QStringLiteral("読み込み済みで変わらない日: %1 日").arg(unchanged);
    if (!leftOut.isEmpty())
        lines << QStringLiteral("読み込まないもの: %1 件").arg(leftOut.size());
    return lines.join(QLatin1Char('\n'));
}

QString DiaryImport::Plan::summary(const QString& backup) const
{
    QStringList lines{preview()};
    for (const QString& reason : leftOut)
        lines << QStringLiteral("  ") + reason;
    if (!attachments.isEmpty()) {
        int count = 0;
        for (int n : attachments)
            count += n;
        lines << QStringLiteral("読み込んでいない添付ファイル: %1 個").arg(count);
        for (auto it = attachments.cbegin(); it != attachments.cend(); ++it)
            lines << QStringLiteral("  %1: %2 個").arg(shownDate(it.key())).arg(it.value());
    }
    if (!backup.isEmpty())
        lines << QStringLiteral("読み込む前の日記のバックアップ: %1").arg(backup);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
