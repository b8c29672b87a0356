#include "core/tasks/RecordCounter.h"

#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"

#include <QFile>
#include <QSet>

#include <thread>

RecordCounter::RecordCounter(DayStore days) : m_store(std::move(days)) {}

RecordDay RecordCounter::countDay(int folder, const QString& key, FileStamp& stamp) const
{
    RecordDay day;
    day.written = true;
    try {
        day.characters = DiaryRecord::characters(m_store.readText(folder, key, &stamp));
    } catch (const DiaryError&) {
        day.unreadable = true;
        stamp = FileStamp::of(folder, QFile::encodeName(key));
    }
    return day;
}

bool RecordCounter::refresh(const std::function<bool()>& cancelled)
{
    // Every entry is decoded.
    CodePage932::prepareBulkDecoding();
    const Descriptor folder = m_store.openEntries();
    const QStringList keys = m_store.entryKeys();
    if (!m_stamps.isEmpty()) {
        const QSet<QString> present(keys.cbegin(), keys.cend());
        for (auto it = m_stamps.begin(); it != m_stamps.end();) {
            if (present.contains(it.key())) {
                ++it;
                continue;
            }
            m_days.remove(DayStore::dateOfKey(it.key()));
            it = m_stamps.erase(it);
        }
    }
    // A day counted before is read again only when its file changed; a new day's stamp comes
    // from the same look that reads it.
    QStringList changed;
    for (const QString& key : keys) {
        const auto known = m_stamps.constFind(key);
        if (known == m_stamps.cend() ||
            *known != FileStamp::of(folder.get(), QFile::encodeName(key)))
            changed.append(key);
    }
    // A whole diary is counted on two threads: reading and decoding its files is the work, and
    // each file is its own.
    QList<RecordDay> counts(changed.size());
    QList<FileStamp> stamps(changed.size());
    RecordDay* const out = counts.data();
    FileStamp* const stampOut = stamps.data();
    const auto count = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to && !cancelled(); ++i)
            out[i] = countDay(folder.get(), changed.at(i), stampOut[i]);
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
    m_stamps.reserve(keys.size());
    for (qsizetype i = 0; i < changed.size(); ++i) {
        m_days.insert(DayStore::dateOfKey(changed[i]), counts[i]);
        m_stamps.insert(changed[i], stamps[i]);
    }
    return true;
}
