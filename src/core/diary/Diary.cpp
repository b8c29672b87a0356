#include "core/diary/Diary.h"

#include "core/diary/DiaryLock.h"
#include "core/diary/DiaryTitles.h"
#include "core/diary/Settings.h"
#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"
#include "core/storage/IniFile32.h"
#include "core/storage/SafeFile.h"
#include "core/storage/Spelling.h"
#include "core/storage/StagedFolder.h"
#include "core/time/DiaryDate.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray TitleSection = QByteArrayLiteral("title");

// The names a sync tool gives the losing side of a conflict: "NAME.sync-conflict-DATE-TIME-DEVICE"
// with the extension, if any, kept at the end.
const QString ConflictMark = QStringLiteral(".sync-conflict-");
const QString ConflictTail = QStringLiteral("\\.sync-conflict-\\d{8}-\\d{6}-[A-Za-z0-9]+");

// The regular files of a folder whose names carry the conflict mark. A plain directory read, as
// for the leftovers of saves: the entries folder may hold thousands of days.
QStringList conflictCopies(const QString& folder)
{
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    const QByteArray mark = ConflictMark.toLatin1();
    while (const dirent* entry = ::readdir(dir)) {
        // Looked for in the raw name first: decoding every day's name would cost more than the
        // whole read.
        if (!std::strstr(entry->d_name, mark.constData()))
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        struct stat info
        {
        };
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
        if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode))
            names.append(name);
    }
    ::closedir(dir);
    names.sort();
    return names;
}
} // namespace

Diary::Diary(const QString& programFolder)
    : m_programFolder(programFolder),
      m_dataDir(QDir(programFolder).filePath(QStringLiteral("data"))), m_store(m_dataDir)
{
    // An existing folder, or one that cannot be made, is no reason to stop: a later write into
    // it reports the failure. Made first, so that the lock is keyed by the folder's real path.
    SafeFile::makeFolder(m_dataDir);
    // Before anything is read or cleaned up: another copy may be in the middle of a save.
    m_lock = std::make_unique<DiaryLock>(programFolder);
    m_ini = std::make_unique<TIniFile32>(QDir(programFolder).filePath(QStringLiteral("diary.ini")));
}

Diary::~Diary() = default;

void Diary::removeLeftovers() const
{
    SafeFile::removeLeftovers(m_programFolder);
    SafeFile::removeLeftovers(m_dataDir);
    // diary.ini may be a link to a file elsewhere, beside which its saves are made.
    SafeFile::removeLeftoversOf(m_ini->FileName());
    // A restore into this folder that was killed.
    StagedFolder::removeLeftoversOf(m_programFolder);
}

QList<std::pair<QByteArray, QByteArray>> Diary::titles() const
{
    return m_ini->ReadSectionValues(TitleSection);
}

bool Diary::hasEntry(const QString& dateKey) const
{
    return m_store.hasEntry(dateKey);
}

bool Diary::hasEntry(double date) const
{
    return hasEntry(DiaryDate::key(date));
}

QString Diary::readBody(const QString& dateKey) const
{
    return m_store.readBody(dateKey);
}

Diary::DayText Diary::loadDay(const QString& dateKey)
{
    m_ini->reload();
    Seen seen;
    // Stamped before the read: a change made while reading is seen at the next look.
    seen.stamp = FileStamp::of(m_store.entryPath(dateKey));
    // A day without an entry was seen without its title: it may have one of another computer's.
    if (hasEntry(dateKey)) {
        seen.text = {readTitle(dateKey), readBody(dateKey)};
        seen.iniChanges = m_ini->changes();
    }
    m_seen.insert(dateKey, seen);
    return seen.text;
}

bool Diary::changedOnDisk(const QString& dateKey)
{
    const Seen seen = m_seen.value(dateKey);
    if (FileStamp::of(m_store.entryPath(dateKey)) != seen.stamp)
        return true;
    m_ini->reload();
    return seen.stamp.exists && readTitle(dateKey) != seen.text.title;
}

bool Diary::isAsSeen(const QString& dateKey, const DayText& text) const
{
    return m_seen.value(dateKey).text == text;
}

QString Diary::readTitle(const QString& dateKey) const
{
    return CodePage932::decode(m_ini->ReadString(TitleSection, dateKey.toLatin1(), {}));
}

void Diary::writeTitle(const QString& dateKey, const QString& title)
{
    const QByteArray key = dateKey.toLatin1();
    const QByteArray stored = m_ini->ReadString(TitleSection, key, {});
    const QByteArray bytes = Spelling(stored, Spelling::Breaks::Kept).bytesFor(title);
    // An unchanged title leaves diary.ini as it is. An empty one is written all the same: the
    // key line it adds is how an untitled day has always been stored.
    if (bytes.isEmpty() || bytes != stored)
        m_ini->WriteString(TitleSection, key, bytes);
}

Diary::DayText Diary::saveDay(const QString& dateKey, const QString& title, const QString& body)
{
    const QString path = m_store.entryPath(dateKey);
    // A day never loaded here was seen as no entry at all.
    const Seen seen = m_seen.value(dateKey);
    DayText saved{title, body};

    const FileStamp onDisk = FileStamp::of(path);
    if (onDisk != seen.stamp) {
        const QString theirs = onDisk.exists ? readBody(dateKey) : QString();
        saved.body = DayMerge::resolve(seen.text.body, body, theirs, onDisk.modified());
    }
    m_ini->reload();
    // Lines unchanged since the title was seen hold that title: no scan of thousands of lines.
    const QString theirsTitle =
        m_ini->changes() == seen.iniChanges ? seen.text.title : readTitle(dateKey);
    if (theirsTitle != seen.text.title) {
        if (title == seen.text.title)
            saved.title = theirsTitle;
        else if (title != theirsTitle && !theirsTitle.isEmpty())
            saved.body =
                DayMerge::join(saved.body, theirsTitle, FileStamp::of(m_ini->FileName()).modified(),
                               DayMerge::Kind::Title);
    }

    // Converted first: a title the code page cannot hold stops the save before any write.
    Spelling(m_ini->ReadString(TitleSection, dateKey.toLatin1(), {}), Spelling::Breaks::Kept)
        .bytesFor(saved.title);
    m_store.writeBody(dateKey, saved.body);
    writeTitle(dateKey, saved.title);
    m_seen.insert(dateKey, {saved, FileStamp::of(path), m_ini->changes()});
    return saved;
}

void Diary::writeSettings(const Settings& settings)
{
    m_ini->reload();
    settings.write(*m_ini);
}

QStringList Diary::foldConflicts()
{
    QStringList changed;
    static const QRegularExpression dayCopy(QStringLiteral("^(\\d{8})%1$").arg(ConflictTail));
    for (const QString& name : conflictCopies(m_dataDir)) {
        const QRegularExpressionMatch match = dayCopy.match(name);
        if (match.hasMatch() && DayStore::dateOfKey(match.captured(1)).isValid())
            foldDayCopy(m_dataDir + QLatin1Char('/') + name, match.captured(1), changed);
    }
    static const QRegularExpression iniCopy(QStringLiteral("^diary%1\\.ini$").arg(ConflictTail));
    for (const QString& name : conflictCopies(m_programFolder)) {
        if (iniCopy.match(name).hasMatch())
            foldSettingsCopy(QDir(m_programFolder).filePath(name), changed);
    }
    changed.removeDuplicates();
    return changed;
}

void Diary::foldDayCopy(const QString& path, const QString& dateKey, QStringList& changed)
{
    try {
        if (FileStamp::of(path).size > DayStore::MaxBodyBytes)
            return;
        const QString theirs = Spelling(SafeFile::read(path), Spelling::Breaks::Collapsed).text();
        if (joinIntoBody(dateKey, theirs, FileStamp::of(path).modified(), DayMerge::Kind::Text))
            changed.append(dateKey);
        // What it held is on disk in its day now. A copy that cannot be removed is merged again
        // next time, which adds nothing the day does not hold.
        QFile::remove(path);
    } catch (const DiaryError&) {
        // Left for a later try; nothing of it is lost.
    }
}

void Diary::foldSettingsCopy(const QString& path, QStringList& changed)
{
    try {
        const TIniFile32 copy(path);
        const QDateTime savedAt = FileStamp::of(path).modified();
        m_ini->reload();
        const QHash<QString, QByteArray> theirs =
            DiaryTitles::byKey(copy.ReadSectionValues(TitleSection));
        QList<std::pair<QString, QByteArray>> adopted;
        for (auto it = theirs.cbegin(); it != theirs.cend(); ++it) {
            const QByteArray ours = m_ini->ReadString(TitleSection, it.key().toLatin1(), {});
            if (it.value().isEmpty() || ours == it.value())
                continue;
            if (ours.isEmpty()) {
                adopted.append({it.key(), it.value()});
            } else if (joinIntoBody(it.key(), CodePage932::decode(it.value()), savedAt,
                                    DayMerge::Kind::Title)) {
                changed.append(it.key());
            }
        }
        m_ini->writeOnce([&] {
            for (const auto& [key, value] : adopted)
                m_ini->WriteString(TitleSection, key.toLatin1(), value);
        });
        for (const auto& [key, value] : adopted)
            changed.append(key);
        QFile::remove(path);
    } catch (const DiaryError&) {
        // Left for a later try; nothing of it is lost.
    }
}

bool Diary::joinIntoBody(const QString& dateKey, const QString& theirs, const QDateTime& savedAt,
                         DayMerge::Kind kind)
{
    const QString ours = hasEntry(dateKey) ? readBody(dateKey) : QString();
    const QString joined = DayMerge::join(ours, theirs, savedAt, kind);
    if (joined == ours && hasEntry(dateKey))
        return false;
    // SafeFile makes the write durable before it returns: only then may the copy go.
    m_store.writeBody(dateKey, joined);
    return true;
}
