#include "core/tasks/RecordCounter.h"

#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"

#include <QSet>

#include <thread>

RecordCounter::RecordCounter(DayStore days) : m_store(std::move(days)) {}

RecordDay RecordCounter::countDay(const QString& key) const
{
    RecordDay day;
    day.written = true;
    try {
        day.characters = DiaryRecord::characters(m_store.readBody(key));
    } catch (const DiaryError&) {
        day.unreadable = true;
    }
    return day;
}

bool RecordCounter::refresh(const std::function<bool()>& cancelled)
{
    // Every entry is decoded.
    CodePage932::prepareBulkDecoding();
    const QStringList keys = m_store.entryKeys();
    const QSet<QString> present(keys.cbegin(), keys.cend());
    for (auto it = m_stamps.begin(); it != m_stamps.end();) {
        if (present.contains(it.key())) {
            ++it;
            continue;
        }
        m_days.remove(DayStore::dateOfKey(it.key()));
        it = m_stamps.erase(it);
    }
    QStringList changed;
    QList<FileStamp> stamps;
    for (const QString& key : keys) {
        const FileStamp stamp = FileStamp::of(m_store.entryPath(key));
        const auto known = m_stamps.constFind(key);
        if (known != m_stamps.cend() && *known == stamp)
            continue;
        changed.append(key);
        stamps.append(stamp);
    }
    // A whole diary is counted on two threads: reading and decoding its files is the work, and
    // each file is its own.
    QList<RecordDay> counts(changed.size());
    RecordDay* const out = counts.data();
    const auto count = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to && !cancelled(); ++i)
            out[i] = countDay(changed.at(i));
    };
    const qsizetype half = changed.size() >= SplitFrom ? changed.size() / 2 : changed.size();
    std::thread other;
    if (half < changed.size())
        other = std::thread(count, half, changed.size());
    count(0, half);
    if (other.joinable())
        other.join();
    if (cancelled())
        return false;
    for (qsizetype i = 0; i < changed.size(); ++i) {
        m_days.insert(DayStore::dateOfKey(changed[i]), counts[i]);
        m_stamps.insert(changed[i], stamps[i]);
    }
    return true;
}
