#include "core/DayStore.h"

#include "core/CodePage932.h"
#include "core/DiaryError.h"
#include "core/SafeFile.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

DayStore::DayStore(QString dataDir) : m_dataDir(std::move(dataDir)) {}

QString DayStore::entryPath(const QString& dateKey) const
{
    return m_dataDir + QLatin1Char('/') + dateKey;
}

QStringList DayStore::entryKeys() const
{
    static const QRegularExpression dateKey(QStringLiteral("^\\d{8}$"));
    QStringList keys = QDir(m_dataDir).entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
    keys.removeIf([](const QString& key) {
        return !dateKey.match(key).hasMatch() ||
               !QDate::fromString(key, QStringLiteral("yyyyMMdd")).isValid();
    });
    std::sort(keys.begin(), keys.end());
    return keys;
}

bool DayStore::hasEntry(const QString& dateKey) const
{
    return QFileInfo::exists(entryPath(dateKey));
}

QString DayStore::readBody(const QString& dateKey) const
{
    const QString path = entryPath(dateKey);
    const QFileInfo info(path);
    // A folder, a pipe or a device at the path is no entry file; opening one could block.
    if (!info.isFile())
        throw DiaryError::cannotOpen(path);
    if (info.size() > MaxBodyBytes)
        throw DiaryError::memoLimit();
    const QByteArray bytes = SafeFile::read(path);
    // The file may have grown since it was measured.
    if (bytes.size() > MaxBodyBytes)
        throw DiaryError::memoLimit();
    QString body = CodePage932::decode(bytes);
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return body;
}

void DayStore::writeBody(const QString& dateKey, const QString& body) const
{
    QString text = body;
    // A stray CR is a line break when the file is read back, so it is written as one.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray bytes = CodePage932::encode(text);
    if (bytes.size() > MaxBodyBytes)
        throw DiaryError::memoLimit();
    SafeFile::write(entryPath(dateKey), bytes);
}
