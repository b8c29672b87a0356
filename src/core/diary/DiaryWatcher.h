#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <memory>

// Tells when the diary's files change on disk, by this program or by another (a sync tool
// bringing another computer's version): the diary folder (diary.ini and its conflict copies), the
// entries folder (days replaced, conflict copies) and the shown day's file are watched. A burst
// of changes, such as a sync tool's temporary file and rename, is reported once it settles.
class DiaryWatcher : public QObject
{
    Q_OBJECT

public:
    // Nothing is watched before watchFolders().
    DiaryWatcher(QString programFolder, QString dataDir, QObject* parent = nullptr);

    // Starts watching the folders, and any of them made since the last call. Watching a folder
    // of thousands of days takes a millisecond or two, which start-up leaves until the window
    // shows.
    void watchFolders();
    // Watches this day's file instead of the one watched before (from watchFolders() on); a day
    // without a file is seen through its folder.
    void watchDay(const QString& path);

signals:
    void changed();

private:
    void touched();

    // Made by watchFolders(): start-up does not pay for the system's watch before the window
    // shows.
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    QTimer m_settle;
    QString m_day;
    QStringList m_folders;
};
