#include "core/tasks/RecordCounter.h"

#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"

#include <QSet>

RecordCounter::RecordCounter(QString dataDir) : m_store(dataDir), m_dataDir(std::move(dataDir)) {}

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
    for (const QString& key : keys) {
        if (cancelled())
            return false;
        const FileStamp stamp = FileStamp::of(m_store.entryPath(key));
        const auto known = m_stamps.constFind(key);
        if (known != m_stamps.cend() && *known == stamp)
            continue;
        RecordDay day;
        day.written = true;
        try {
            day.characters = DiaryRecord::characters(m_store.readBody(key));
        } catch (const DiaryError&) {
            day.unreadable = true;
        }
        m_days.insert(DayStore::dateOfKey(key), day);
        m_stamps.insert(key, stamp);
    }
    return true;
}
