#include "core/diary/DiaryTitles.h"

#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/SealedBytes.h"

namespace {
QByteArray context(const QByteArray& dateKey)
{
    return "title " + dateKey;
}
} // namespace

QHash<QString, QByteArray>
DiaryTitles::byKey(const QList<std::pair<QByteArray, QByteArray>>& values)
{
    QHash<QString, QByteArray> titles;
    titles.reserve(values.size());
    for (const auto& [key, value] : values) {
        const QString name = QString::fromLatin1(key);
        if (!titles.contains(name))
            titles.insert(name, value);
    }
    return titles;
}

QByteArray DiaryTitles::open(const QByteArray& dateKey, const QByteArray& stored,
                             const DiaryKey* key, const QString& iniPath)
{
    if (!SealedBytes::isSealedText(stored))
        return stored;
    if (!key)
        throw DiaryError::locked();
    return SealedBytes::openText(*key, stored, context(dateKey), iniPath);
}

QList<std::pair<QByteArray, QByteArray>>
DiaryTitles::openAll(const QList<std::pair<QByteArray, QByteArray>>& values, const DiaryKey* key,
                     const QString& iniPath)
{
    QList<std::pair<QByteArray, QByteArray>> opened;
    opened.reserve(values.size());
    for (const auto& [dateKey, value] : values) {
        try {
            opened.append({dateKey, open(dateKey, value, key, iniPath)});
        } catch (const DiaryError&) {
        }
    }
    return opened;
}

QByteArray DiaryTitles::stored(const QByteArray& dateKey, const QByteArray& plain,
                               const DiaryKey* key)
{
    if (!key || plain.isEmpty())
        return plain;
    return SealedBytes::sealText(*key, plain, context(dateKey));
}

bool DiaryTitles::sealedBefore(const QByteArray& dateKey, QByteArrayView stored,
                               const DiaryKey& key)
{
    return key.previous() && SealedBytes::isSealedText(stored) &&
           !SealedBytes::textOpensWithCurrent(key, stored, context(dateKey));
}
