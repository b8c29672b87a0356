#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <utility>

class DiaryKey;

// The titles of section "title" of diary.ini. In an encrypted diary each value is sealed on its
// own (SealedBytes' text form, bound to its date key), so titles written on two computers still
// merge key by key; a plain value still reads, as in a diary half way through turning
// encryption on or off.
class DiaryTitles
{
public:
    // The titles of a whole diary at once, for the tasks that go through every day: looked up by
    // key in one step instead of a scan of diary.ini per day. values: section "title" as
    // TIniFile32::ReadSectionValues gives it. A key written twice keeps its first value, the one
    // a single day's read returns. Values stay code page 932.
    static QHash<QString, QByteArray> byKey(const QList<std::pair<QByteArray, QByteArray>>& values);

    // A stored title's plain bytes: a sealed one opened with key. Throws DiaryError::locked
    // without a key, and DiaryError::cannotUnseal when it does not open as this day's title of
    // this diary. iniPath names the file in messages.
    static QByteArray open(const QByteArray& dateKey, const QByteArray& stored, const DiaryKey* key,
                           const QString& iniPath);
    // Every value opened; a title that does not open is left out (the day's own read reports it).
    static QList<std::pair<QByteArray, QByteArray>>
    openAll(const QList<std::pair<QByteArray, QByteArray>>& values, const DiaryKey* key,
            const QString& iniPath);
    // What diary.ini holds for a title's plain bytes: sealed with key, when there is one. An
    // empty title stays an empty value: it tells no more than the key line itself.
    static QByteArray stored(const QByteArray& dateKey, const QByteArray& plain,
                             const DiaryKey* key);
    // Whether a stored title is sealed, but not under key itself: under its previous one, while
    // the diary is keyed anew.
    static bool sealedBefore(const QByteArray& dateKey, QByteArrayView stored, const DiaryKey& key);
};
