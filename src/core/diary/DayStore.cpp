#include "core/diary/DayStore.h"

#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/SafeFile.h"
#include "core/storage/SealedBytes.h"
#include "core/storage/Spelling.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

DayStore::DayStore(QString dataDir, std::shared_ptr<const DiaryKey> key)
    : m_dataDir(std::move(dataDir)), m_key(std::move(key))
{
}

bool DayStore::isSealed(const QByteArray& bytes)
{
    return SealedBytes::isSealed(bytes) && bytes.size() > 4 && quint8(bytes[4]) < 0x09;
}

QByteArray DayStore::sealContext(const QString& dateKey)
{
    return "day " + dateKey.toLatin1();
}

QString DayStore::entryPath(const QString& dateKey) const
{
    return m_dataDir + QLatin1Char('/') + dateKey;
}

Descriptor DayStore::openEntries() const
{
    return Descriptor(
        ::open(QFile::encodeName(m_dataDir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

QStringList DayStore::entryKeys() const
{
    // A plain directory read that trusts the entry's type where the file system gives it: a
    // diary of thousands of days is listed each time the look-back window opens.
    const Descriptor folder = openEntries();
    DIR* dir = folder.get() < 0 ? nullptr : ::fdopendir(::dup(folder.get()));
    if (!dir)
        return {};
    // Sorted by the date's number: cheaper than comparing the texts.
    QList<std::pair<int, QString>> found;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QString::fromLatin1(entry->d_name);
        const QDate date = dateOfKey(name);
        if (!date.isValid())
            continue;
        // A link to a file is an entry as the file is; a link to nothing or to a folder is not.
        struct stat info
        {
        };
        if (entry->d_type == DT_REG ||
            ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) &&
             ::fstatat(folder.get(), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode)))
            found.append({date.year() * 10000 + date.month() * 100 + date.day(), name});
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList keys;
    keys.reserve(found.size());
    for (auto& [number, key] : found)
        keys.append(std::move(key));
    return keys;
}

QDate DayStore::dateOfKey(QStringView key)
{
    if (key.size() != 8)
        return {};
    int digits[8];
    for (int i = 0; i < 8; ++i) {
        const char16_t c = key[i].unicode();
        if (c < u'0' || c > u'9')
            return {};
        digits[i] = c - u'0';
    }
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5];
    const int day = digits[6] * 10 + digits[7];
    return QDate::isValid(year, month, day) ? QDate(year, month, day) : QDate();
}

bool DayStore::hasEntry(const QString& dateKey) const
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(entryPath(dateKey)).constData(), &info) == 0;
}

QByteArray DayStore::opened(const QString& path, const QString& dateKey,
                            const QByteArray& bytes) const
{
    if (!isSealed(bytes))
        return bytes;
    if (!m_key)
        throw DiaryError::locked();
    return SealedBytes::open(*m_key, bytes, sealContext(dateKey), path);
}

std::optional<QByteArray> DayStore::readPlain(const QString& path, const QString& dateKey) const
{
    return plainOf(path, dateKey, SafeFile::readOwn(path, MaxFileBytes));
}

std::optional<QByteArray> DayStore::plainOf(const QString& path, const QString& dateKey,
                                            const std::optional<QByteArray>& bytes) const
{
    if (!bytes)
        return std::nullopt;
    QByteArray plain = opened(path, dateKey, *bytes);
    if (plain.size() > MaxBodyBytes)
        return std::nullopt;
    return plain;
}

QByteArray DayStore::fileBytes(const QString& dateKey, const QByteArray& plain, bool sealed) const
{
    return sealed ? SealedBytes::seal(*m_key, plain, sealContext(dateKey)) : plain;
}

QString DayStore::readBody(const QString& dateKey) const
{
    // Only the text is wanted: the bytes' own spelling is read again by writeBody when it saves.
    QString text = readText(AT_FDCWD, dateKey);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString DayStore::readText(int folder, const QString& dateKey, FileStamp* stamp) const
{
    const QString path = entryPath(dateKey);
    const std::optional<QByteArray> plain =
        plainOf(path, dateKey,
                SafeFile::readOwnAt(folder, QFile::encodeName(folder == AT_FDCWD ? path : dateKey),
                                    path, MaxFileBytes, stamp));
    if (!plain)
        throw DiaryError::memoLimit();
    return CodePage932::decode(*plain);
}

void DayStore::writeBody(const QString& dateKey, const QString& body) const
{
    if (const std::optional<QByteArray> bytes = fileFor(dateKey, body))
        SafeFile::write(entryPath(dateKey), *bytes, SafeFile::Links::Refused);
}

std::optional<QByteArray> DayStore::fileFor(const QString& dateKey, const QString& body) const
{
    QString text = body;
    // A stray CR is a line break when the file is read back, so it is written as one.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QString path = entryPath(dateKey);
    // The file as it stands gives the bytes of what was not edited. One that cannot be read is
    // replaced as a whole; anything but a file of the user's own is refused by the write.
    std::optional<QByteArray> old;
    if (hasEntry(dateKey)) {
        try {
            old = readPlain(path, dateKey);
        } catch (const DiaryError&) {
        }
    }
    const QByteArray bytes =
        Spelling(old.value_or(QByteArray()), Spelling::Breaks::Collapsed).bytesFor(text);
    if (bytes.size() > MaxBodyBytes)
        throw DiaryError::memoLimit();
    // A day left as it was is not written again: viewing a day changes nothing on disk. Sealed
    // bytes differ at every write, so the plain ones are compared.
    if (old == bytes)
        return std::nullopt;
    return fileBytes(dateKey, bytes, m_key != nullptr);
}

std::optional<QByteArray> DayStore::converted(const QString& dateKey, bool sealed) const
{
    const QString path = entryPath(dateKey);
    const std::optional<QByteArray> bytes = SafeFile::readOwn(path, MaxFileBytes);
    if (!bytes)
        throw DiaryError::memoLimit();
    // While the diary is keyed anew, a day sealed under the previous key is sealed again.
    const bool resealed = sealed && isSealed(*bytes) && m_key->previous() &&
                          !SealedBytes::opensWithCurrent(*m_key, *bytes, sealContext(dateKey));
    if (isSealed(*bytes) == sealed && !resealed)
        return std::nullopt;
    return fileBytes(dateKey, opened(path, dateKey, *bytes), sealed);
}

void DayStore::removeEntry(const QString& dateKey) const
{
    SafeFile::remove(entryPath(dateKey));
}
