#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <memory>

class DiaryKey;
class QMenu;
class QWidget;
class Skin;

// Export and backup from the window: the file is asked for (and for an export the days), the
// shown day is saved, the job runs off the GUI thread in a small progress window that can stop
// it, and a closing message names the file. A job stopped or failed leaves no file behind.
class ArchiveFlow
{
public:
    // saveShownDay saves the day the window shows and returns false when that failed (it has
    // said why then). archiveProgram is the program that makes backups. key: the diary's, when
    // it is encrypted; an export then says that its file is not.
    ArchiveFlow(QWidget* window, const Skin& skin, QString programFolder, QDate shown,
                std::function<bool()> saveShownDay, QString archiveProgram,
                std::shared_ptr<const DiaryKey> key = {});

    // The program that makes backups: this one, which hands the task to tobiquill-archive.
    static QString archiveProgram();
    // Adds the export and backup items to the window's menu. Each run asks shown for the day the
    // window shows and saves it with saveShownDay, and asks key for the diary's key.
    static void addToMenu(QMenu& menu, QWidget* window, const Skin& skin,
                          const QString& programFolder, const std::function<QDate()>& shown,
                          const std::function<bool()>& saveShownDay,
                          const std::function<std::shared_ptr<const DiaryKey>()>& key);

    void exportDiary();
    void backup();

private:
    QWidget* m_window;
    const Skin& m_skin;
    QString m_programFolder;
    QDate m_shown;
    std::function<bool()> m_saveShownDay;
    QString m_archiveProgram;
    std::shared_ptr<const DiaryKey> m_key;
};
