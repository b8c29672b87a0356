#include "core/diary/DiaryWatcher.h"

#include <QFileInfo>

namespace {
// Long enough for a sync tool's write and rename to land as one change, short enough that a day
// arriving from elsewhere shows at once.
constexpr int SettleMs = 300;
} // namespace

DiaryWatcher::DiaryWatcher(QString programFolder, QString dataDir, QObject* parent)
    : QObject(parent), m_folders{std::move(programFolder), std::move(dataDir)}
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMs);
    connect(&m_settle, &QTimer::timeout, this, &DiaryWatcher::changed);
}

void DiaryWatcher::watchFolders()
{
    if (!m_watcher) {
        m_watcher = std::make_unique<QFileSystemWatcher>();
        connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, this,
                &DiaryWatcher::touched);
        connect(m_watcher.get(), &QFileSystemWatcher::fileChanged, this, &DiaryWatcher::touched);
        if (!m_day.isEmpty() && QFileInfo::exists(m_day))
            m_watcher->addPath(m_day);
    }
    // A folder made since the last call (the entries folder at the first save) joins now.
    for (const QString& folder : m_folders) {
        if (!m_watcher->directories().contains(folder) && QFileInfo(folder).isDir())
            m_watcher->addPath(folder);
    }
}

void DiaryWatcher::watchDay(const QString& path)
{
    if (m_watcher && !m_day.isEmpty())
        m_watcher->removePath(m_day);
    m_day = path;
    if (m_watcher && QFileInfo::exists(path))
        m_watcher->addPath(path);
}

void DiaryWatcher::touched()
{
    // A file replaced by a rename is no longer watched under its name: watch the new one.
    if (!m_day.isEmpty() && !m_watcher->files().contains(m_day) && QFileInfo::exists(m_day))
        m_watcher->addPath(m_day);
    m_settle.start();
}
