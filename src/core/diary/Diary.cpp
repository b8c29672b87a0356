#include "core/diary/Diary.h"

#include "core/diary/DiaryKeyFile.h"
#include "core/diary/DiaryLock.h"
#include "core/diary/DiaryTitles.h"
#include "core/diary/EncryptedDiaries.h"
#include "core/diary/Recovery.h"
#include "core/diary/Settings.h"
#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/FaultStep.h"
#include "core/storage/IniFile32.h"
#include "core/storage/KdfLimits.h"
#include "core/storage/KeyFile.h"
#include "core/storage/RecoveryCode.h"
#include "core/storage/SafeFile.h"
#include "core/storage/SealedBytes.h"
#include "core/storage/Spelling.h"
#include "core/storage/StagedFolder.h"
#include "core/time/DiaryDate.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <optional>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
const QByteArray TitleSection = QByteArrayLiteral("title");

// The names a sync tool gives the losing side of a conflict: "NAME.sync-conflict-DATE-TIME-DEVICE"
// with the extension, if any, kept at the end.
const QString ConflictMark = QStringLiteral(".sync-conflict-");
const QString ConflictTail = QStringLiteral("\\.sync-conflict-\\d{8}-\\d{6}-[A-Za-z0-9]+");

// The names in a folder that carry the conflict mark, whatever stands there: reading a copy
// checks what it is. A plain directory read, as for the leftovers of saves: the entries folder
// may hold thousands of days.
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
        if (std::strstr(entry->d_name, mark.constData()))
            names.append(QFile::decodeName(entry->d_name));
    }
    ::closedir(dir);
    names.sort();
    return names;
}

// A copy as a sync tool leaves it: a regular file of the user's own, no larger than a day.
QByteArray readCopy(const QString& path)
{
    const std::optional<QByteArray> bytes = SafeFile::readOwn(path, DayStore::MaxFileBytes);
    if (!bytes)
        throw DiaryError::tooLarge(path, DayStore::MaxFileBytes);
    return *bytes;
}

DiaryError notFolded(const QString& path, const QString& why)
{
    return DiaryError(QStringLiteral("同期ﾂｰﾙが残したｺﾋﾟｰ %1 は、日記に取り込みきれませんでした。"
                                     "ｺﾋﾟｰはそのまま残してあります。\n%2")
                          .arg(path, why));
}

// Once what it held is on disk; a copy already gone (the sync tool took it back) is no failure.
void removeCopy(const QString& path)
{
    const int error = faultStep(SafeFile::Step::Commit, path,
                                [&] { return ::unlink(QFile::encodeName(path).constData()); });
    if (error != 0 && error != ENOENT)
        throw DiaryError(QStringLiteral("同期ﾂｰﾙが残したｺﾋﾟｰ %1 は日記に取り込みましたが、"
                                        "削除できません。")
                             .arg(path));
}

// Title keys that are no date key, as the user may read them: a few, each cut short.
QString oddKeys(QStringList keys)
{
    keys.sort();
    QStringList shown;
    for (const QString& key : keys.first(std::min<qsizetype>(keys.size(), 3))) {
        QString text = CodePage932::decode(key.toLatin1()).left(40);
        for (QChar& c : text) {
            if (c.category() == QChar::Other_Control)
                c = QLatin1Char('?');
        }
        shown << QLatin1Char('"') + text + QLatin1Char('"');
    }
    return QStringLiteral("日付でない題名のｷｰ %1 個は取り込みません: %2")
        .arg(keys.size())
        .arg(shown.join(QStringLiteral(", ")));
}
} // namespace

Diary::Diary(const QString& programFolder)
    : m_programFolder(programFolder),
      m_dataDir(QDir(programFolder).filePath(QStringLiteral("data"))), m_store(m_dataDir)
{
    // An existing folder, or one that cannot be made, is no reason to stop: a later write into
    // it reports the failure. Made first, so that the lock is keyed by the folder's real path.
    SafeFile::makeFolder(m_dataDir);
    // Days are written into the entries folder by name: through a link there they would land
    // wherever it points.
    struct stat data
    {
    };
    if (::lstat(QFile::encodeName(m_dataDir).constData(), &data) == 0 && !S_ISDIR(data.st_mode))
        throw DiaryError::notOwnFile(m_dataDir);
    // Before anything is read or cleaned up: another copy may be in the middle of a save.
    m_lock = std::make_unique<DiaryLock>(programFolder);
    m_ini = std::make_unique<TIniFile32>(QDir(programFolder).filePath(QStringLiteral("diary.ini")));
    if (std::optional<KeyFile> file = DiaryKeyFile::read(programFolder))
        m_keyFile = std::make_unique<KeyFile>(std::move(*file));
    else
        m_keyMissing = EncryptedDiaries().withoutKey(programFolder, *m_ini);
}

Diary::~Diary() = default;

bool Diary::isEncrypted() const
{
    return m_keyFile != nullptr || m_keyMissing;
}

bool Diary::isUnlocked() const
{
    return !isEncrypted() || m_key;
}

bool Diary::unlock(const QString& secret)
{
    if (m_keyMissing)
        throw EncryptedDiaries::noKeyFile(m_programFolder);
    if (isUnlocked())
        return true;
    const QString keyPath = DiaryKeyFile::path(m_programFolder);
    KdfBudget budget;
    QByteArray slot;
    std::optional<KeyFile> live = DiaryKeyFile::read(m_programFolder);
    std::optional<DiaryKey> key = live ? live->unlock(secret, budget, &slot) : std::nullopt;
    std::optional<KeyFile> adopted;
    QString opener;
    if (key && live->verifies(*key)) {
        adopted = *live;
    } else if (key) {
        // The way in that opened it is the owner's; nothing else of the file can be trusted.
        adopted = live->keptTo(*key, slot);
        rejectKeyFile(keyPath);
        live.reset();
    } else {
        // A passphrase set on another computer: its copy opens, once it verifies under that key.
        for (const QString& path : keyCopies()) {
            try {
                const KeyFile copy = DiaryKeyFile::readAt(path);
                if (copy.version() != 2)
                    continue;
                key = copy.unlock(secret, budget);
                if (key && copy.verifies(*key)) {
                    adopted = copy;
                    opener = path;
                    break;
                }
                key.reset();
            } catch (const DiaryError&) {
                // Set aside by the fold that follows, if it is a copy of this diary's at all.
            }
        }
        if (!key)
            return false;
        if (live && live->version() == 2 && live->verifies(*key))
            adopted = KeyFile::merged(*live, *adopted, *key, keyPath);
        else if (live)
            rejectKeyFile(keyPath);
    }
    if (adopted->version() != 2)
        adopted->upgrade(*key);
    if (!live || adopted->bytes() != live->bytes())
        SafeFile::write(keyPath, adopted->bytes(), SafeFile::Links::Refused);
    if (!opener.isEmpty())
        removeCopy(opener);
    // A core dump or another process of the user's reading this one's memory would find the key.
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    m_keyFile = std::make_unique<KeyFile>(std::move(*adopted));
    m_key = std::make_shared<const DiaryKey>(std::move(*key));
    m_store = DayStore(m_dataDir, m_key);
    m_byRecoveryCode = RecoveryCode::normalised(secret).has_value();
    EncryptedDiaries().remember(m_keyFile->diaryId(), m_programFolder);
    // A copy that cannot be folded stays for foldConflicts() to report.
    Folded folded;
    foldKeyCopies(folded);
    m_notices += folded.setAside;
    return true;
}

KeyFile Diary::refreshKeyFile()
{
    requireUnlocked();
    const QString keyPath = DiaryKeyFile::path(m_programFolder);
    std::optional<KeyFile> onDisk;
    bool junk = false;
    try {
        onDisk = DiaryKeyFile::read(m_programFolder);
    } catch (const DiaryError&) {
        // What stands there is no key file of the user's: set aside below like a forged one.
        junk = true;
    }
    if (!onDisk && !junk)
        return *m_keyFile;
    if (onDisk && onDisk->version() == 2 && onDisk->verifies(*m_key)) {
        *m_keyFile = KeyFile::merged(*m_keyFile, *onDisk, *m_key, keyPath);
        return *m_keyFile;
    }
    const QString message = rejectKeyFile(keyPath);
    m_notices.removeLast();
    SafeFile::write(keyPath, m_keyFile->bytes(), SafeFile::Links::Refused);
    throw DiaryError(message + QStringLiteral("\nこの日記の鍵ファイルを書き戻しました。"
                                              "もう一度試してください。"));
}

QStringList Diary::takeNotices()
{
    return std::exchange(m_notices, {});
}

QString Diary::rejectKeyFile(const QString& path)
{
    m_notices << DiaryKeyFile::setAsideMessage(path, DiaryKeyFile::setAside(path));
    return m_notices.last();
}

void Diary::requireUnlocked() const
{
    if (m_keyMissing)
        throw EncryptedDiaries::noKeyFile(m_programFolder);
    if (!isUnlocked())
        throw DiaryError::locked();
}

const DayStore& Diary::days() const
{
    requireUnlocked();
    return m_store;
}

void Diary::writeKeyFile(const KeyFile& file, std::shared_ptr<const DiaryKey> key)
{
    SafeFile::write(DiaryKeyFile::path(m_programFolder), file.bytes(), SafeFile::Links::Refused);
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    EncryptedDiaries().remember(file.diaryId(), m_programFolder);
    m_keyFile = std::make_unique<KeyFile>(file);
    m_key = std::move(key);
    m_store = DayStore(m_dataDir, m_key);
}

void Diary::removeKeyFile()
{
    // Only the file this diary's key verifies goes.
    refreshKeyFile();
    SafeFile::remove(DiaryKeyFile::path(m_programFolder));
    // Turned off here, by the owner: only now may this computer take the diary for a plain one.
    EncryptedDiaries().forget(m_keyFile->diaryId(), m_programFolder);
    m_keyFile.reset();
    m_key.reset();
    m_byRecoveryCode = false;
    m_store = DayStore(m_dataDir);
}

QByteArray Diary::titleBytes(const QByteArray& key, const QByteArray& stored) const
{
    return DiaryTitles::open(key, stored, m_key.get(), m_ini->FileName());
}

QByteArray Diary::storedTitle(const QByteArray& key, const QByteArray& plain) const
{
    return DiaryTitles::stored(key, plain, m_key.get());
}

void Diary::convertTitles(bool sealed)
{
    requireUnlocked();
    m_ini->reload();
    m_ini->writeOnce([&] {
        // One pass over the section: a diary holds a title a day, thousands of them.
        m_ini->editSection(
            TitleSection,
            [&](const QByteArray& key, QByteArrayView value,
                bool first) -> std::optional<QByteArray> {
                // A diary keyed anew seals again what the previous key sealed.
                const bool resealed = sealed && DiaryTitles::sealedBefore(key, value, *m_key);
                if (value.isEmpty() || (SealedBytes::isSealedText(value) == sealed && !resealed))
                    return value.toByteArray();
                // A key written twice is read by its first line only: the later ones
                // go, rather than stay plain beside a sealed title.
                if (!first)
                    return std::nullopt;
                const QByteArray plain = titleBytes(key, value.toByteArray());
                return sealed ? storedTitle(key, plain) : plain;
            });
        // Only a key that holds something is written: a diary without one keeps its bytes.
        if (sealed && !m_ini->ReadString("data", "password", {}).isEmpty())
            m_ini->WriteString("data", "password", {});
        if (sealed && m_ini->ReadBool("data", "usepassword", false))
            m_ini->WriteBool("data", "usepassword", false);
    });
}

void Diary::removeLeftovers() const
{
    SafeFile::removeLeftovers(m_programFolder);
    SafeFile::removeLeftovers(m_dataDir);
    // A restore into this folder that was killed.
    StagedFolder::removeLeftoversOf(m_programFolder);
}

QList<std::pair<QByteArray, QByteArray>> Diary::titles() const
{
    requireUnlocked();
    return DiaryTitles::openAll(m_ini->ReadSectionValues(TitleSection), m_key.get(),
                                m_ini->FileName());
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
    return days().readBody(dateKey);
}

Diary::DayText Diary::loadDay(const QString& dateKey)
{
    requireUnlocked();
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
    requireUnlocked();
    const QByteArray key = dateKey.toLatin1();
    return CodePage932::decode(titleBytes(key, m_ini->ReadString(TitleSection, key, {})));
}

void Diary::writeTitle(const QString& dateKey, const QString& title)
{
    requireUnlocked();
    const QByteArray key = dateKey.toLatin1();
    QByteArray stored = m_ini->ReadString(TitleSection, key, {});
    // A stored title that does not open is replaced as a whole, as a day's file is.
    try {
        stored = titleBytes(key, stored);
    } catch (const DiaryError&) {
        stored.clear();
    }
    const QByteArray bytes = Spelling(stored, Spelling::Breaks::Kept).bytesFor(title);
    // An unchanged title leaves diary.ini as it is. An empty one is written all the same: the
    // key line it adds is how an untitled day has always been stored.
    if (bytes.isEmpty() || bytes != stored)
        m_ini->WriteString(TitleSection, key, storedTitle(key, bytes));
}

Diary::DayText Diary::saveDay(const QString& dateKey, const QString& title, const QString& body)
{
    requireUnlocked();
    const QString path = m_store.entryPath(dateKey);
    // A day never loaded here was seen as no entry at all.
    const Seen seen = m_seen.value(dateKey);
    DayText saved{title, body};

    const FileStamp onDisk = FileStamp::of(path);
    // Deleted elsewhere while nothing was typed here: the deletion stands, and the day is seen as
    // it would load now. Only typing brings a deleted day back.
    if (seen.stamp.exists && !onDisk.exists && saved == seen.text) {
        m_seen.insert(dateKey, {{}, onDisk, 0});
        return {};
    }
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

    m_store.writeBody(dateKey, saved.body);
    writeTitle(dateKey, saved.title);
    m_seen.insert(dateKey, {saved, FileStamp::of(path), m_ini->changes()});
    return saved;
}

QString Diary::deleteQuestion(const QString& dateKey)
{
    m_ini->reload();
    const QString day = DiaryDate::dateLine(DiaryDate::fromDate(DayStore::dateOfKey(dateKey)));
    const QString title = readTitle(dateKey);
    return (title.isEmpty() ? QStringLiteral("%1の日記を削除します。").arg(day)
                            : QStringLiteral("%1「%2」を削除します。").arg(day, title)) +
           QStringLiteral("この日の題名と本文は元に戻せません。");
}

void Diary::deleteDay(const QString& dateKey)
{
    requireUnlocked();
    const QDate date = DayStore::dateOfKey(dateKey);
    const QString day = date.isValid() ? DiaryDate::dateLine(DiaryDate::fromDate(date)) : dateKey;
    const auto kept = [&](const DiaryError& error) {
        return DiaryError(QStringLiteral("%1 を削除できません。この日はそのまま残っています。\n%2")
                              .arg(day, error.message()));
    };
    // Only a real day's name becomes a path to remove.
    if (!date.isValid())
        throw kept(DiaryError::cannotRemove(m_store.entryPath(dateKey), false));

    // The title first, in a store of its own read from the disk now: a write that fails leaves
    // this session's store as it was. Its bytes go back should the entry file stay.
    const QString iniPath = m_ini->FileName();
    std::optional<QByteArray> before;
    try {
        TIniFile32 ini(iniPath);
        const QByteArray key = dateKey.toLatin1();
        const auto titles = ini.ReadSectionValues(TitleSection);
        if (std::any_of(titles.cbegin(), titles.cend(),
                        [&](const auto& title) { return title.first == key; })) {
            before = SafeFile::readOwn(iniPath, TIniFile32::MaxBytes);
            ini.removeKey(TitleSection, key);
        }
    } catch (const DiaryError& error) {
        throw kept(error);
    }
    try {
        m_store.removeEntry(dateKey);
    } catch (const DiaryError& error) {
        // Gone all the same when only the folder's sync failed: the title stays removed with it,
        // rather than coming back over a day that is no longer there.
        if (m_store.hasEntry(dateKey)) {
            if (before)
                SafeFile::write(iniPath, *before);
            m_ini->reload();
            throw kept(error);
        }
    }
    m_ini->reload();
    // Seen as no entry from now on: a day that arrives later is a change on disk.
    m_seen.remove(dateKey);
}

void Diary::writeSettings(const Settings& settings)
{
    // A diary that lost its key file is left as it was found, the window's place included.
    if (m_keyMissing)
        return;
    m_ini->reload();
    if (!isEncrypted()) {
        settings.write(*m_ini);
        return;
    }
    Settings kept = settings;
    kept.password.clear();
    kept.usePassword = false;
    kept.write(*m_ini);
}

QString Diary::writeRecovery(const QStringList& folders, const QString& dateKey,
                             const QString& title, const QString& body, const QDateTime& at) const
{
    return Recovery::write(folders, dateKey, title, body, at, m_key.get());
}

void Diary::fold(const QString& path, Folded& folded, const std::function<void()>& step)
{
    const FileStamp stamp = FileStamp::of(path);
    if (m_setAside.contains(path) && m_setAside.value(path) == stamp)
        return;
    try {
        step();
        m_setAside.remove(path);
    } catch (const DiaryError& error) {
        m_setAside.insert(path, stamp);
        folded.setAside.append(error.message());
    }
}

Diary::Folded Diary::foldConflicts()
{
    Folded folded;
    folded.setAside = takeNotices();
    // The copies of a locked diary wait for its key: only it can tell a forged key file.
    if (!isUnlocked())
        return folded;
    foldKeyCopies(folded);
    static const QRegularExpression dayCopy(QStringLiteral("^(\\d{8})%1$").arg(ConflictTail));
    for (const QString& name : conflictCopies(m_dataDir)) {
        const QRegularExpressionMatch match = dayCopy.match(name);
        if (match.hasMatch() && DayStore::dateOfKey(match.captured(1)).isValid()) {
            const QString path = m_dataDir + QLatin1Char('/') + name;
            fold(path, folded, [&] { foldDayCopy(path, match.captured(1), folded.changed); });
        }
    }
    static const QRegularExpression iniCopy(QStringLiteral("^diary%1\\.ini$").arg(ConflictTail));
    for (const QString& name : conflictCopies(m_programFolder)) {
        if (iniCopy.match(name).hasMatch()) {
            const QString path = QDir(m_programFolder).filePath(name);
            fold(path, folded, [&] { foldSettingsCopy(path, folded.changed); });
        }
    }
    folded.changed.removeDuplicates();
    return folded;
}

QStringList Diary::keyCopies() const
{
    static const QRegularExpression keyCopy(QStringLiteral("^diary%1\\.key$").arg(ConflictTail));
    QStringList paths;
    for (const QString& name : conflictCopies(m_programFolder)) {
        if (keyCopy.match(name).hasMatch())
            paths << QDir(m_programFolder).filePath(name);
    }
    return paths;
}

void Diary::foldKeyCopies(Folded& folded)
{
    // A plain diary takes no key file from a copy: turning encryption on is the user's choice,
    // made on this computer or arriving as diary.key itself. A locked one cannot verify them.
    if (!isEncrypted() || !isUnlocked())
        return;
    for (const QString& path : keyCopies())
        fold(path, folded, [&] { foldKeyCopy(path); });
}

void Diary::foldKeyCopy(const QString& path)
{
    std::optional<KeyFile> theirs;
    try {
        theirs = DiaryKeyFile::readAt(path);
    } catch (const DiaryError&) {
        // No key file at all: set aside below with the forged ones.
    }
    // Only a whole file written by a holder of this diary's key is merged.
    if (!theirs || theirs->version() != 2 || !theirs->verifies(*m_key)) {
        const QString message = rejectKeyFile(path);
        m_notices.removeLast();
        throw DiaryError(message);
    }
    try {
        const QString keyPath = DiaryKeyFile::path(m_programFolder);
        const KeyFile ours = refreshKeyFile();
        const KeyFile merged = KeyFile::merged(ours, *theirs, *m_key, path);
        if (merged.bytes() != ours.bytes())
            SafeFile::write(keyPath, merged.bytes(), SafeFile::Links::Refused);
        *m_keyFile = merged;
    } catch (const DiaryError& error) {
        throw notFolded(path, error.message());
    }
    removeCopy(path);
}

void Diary::foldDayCopy(const QString& path, const QString& dateKey, QStringList& changed)
{
    const std::optional<QByteArray> bytes = m_store.readPlain(path, dateKey);
    if (!bytes)
        throw DiaryError::tooLarge(path, DayStore::MaxBodyBytes);
    const QString theirs = Spelling(*bytes, Spelling::Breaks::Collapsed).text();
    try {
        if (joinIntoBody(dateKey, theirs, FileStamp::of(path).modified(), DayMerge::Kind::Text))
            changed.append(dateKey);
    } catch (const DiaryError& error) {
        throw notFolded(path, error.message());
    }
    removeCopy(path);
}

void Diary::foldSettingsCopy(const QString& path, QStringList& changed)
{
    const QByteArray bytes = readCopy(path);
    const QDateTime savedAt = FileStamp::of(path).modified();
    m_ini->reload();
    const QHash<QString, QByteArray> theirs =
        DiaryTitles::byKey(TIniFile32::sectionValuesOf(bytes, TitleSection));
    QList<std::pair<QString, QByteArray>> adopted;
    QStringList odd;
    QStringList failed;
    for (auto it = theirs.cbegin(); it != theirs.cend(); ++it) {
        // A key names a day's file: only the diary's own form, a real date, may.
        if (!DayStore::dateOfKey(it.key()).isValid()) {
            odd << it.key();
            continue;
        }
        const QByteArray key = it.key().toLatin1();
        try {
            // Compared and joined as plain text: the same title sealed twice differs in bytes.
            const QByteArray ours = titleBytes(key, m_ini->ReadString(TitleSection, key, {}));
            const QByteArray plain = titleBytes(key, it.value());
            if (plain.isEmpty() || ours == plain)
                continue;
            if (ours.isEmpty()) {
                // A sealed title that opened here is this diary's, for this day, as it stands.
                adopted.append({it.key(), SealedBytes::isSealedText(it.value())
                                              ? it.value()
                                              : storedTitle(key, plain)});
                continue;
            }
            if (joinIntoBody(it.key(), CodePage932::decode(plain), savedAt, DayMerge::Kind::Title))
                changed.append(it.key());
        } catch (const DiaryError& error) {
            failed << error.message();
        }
    }
    m_ini->writeOnce([&] {
        for (const auto& [key, value] : adopted)
            m_ini->WriteString(TitleSection, key.toLatin1(), value);
    });
    for (const auto& [key, value] : adopted)
        changed.append(key);
    if (!odd.isEmpty())
        failed.prepend(oddKeys(odd));
    if (!failed.isEmpty())
        throw notFolded(path, failed.join(QLatin1Char('\n')));
    removeCopy(path);
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
