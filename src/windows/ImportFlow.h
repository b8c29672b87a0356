#pragma once

#include <QString>

#include <functional>

class Diary;
class QMenu;
class QWidget;
class Skin;

// Another diary's export brought in from the window: the export is asked for (a file or a
// folder), read by the archive program, and what the import will do is shown before anything is
// written. Then the diary is backed up beside its files and the days are written through the
// window's own diary (sealed when it is encrypted), with the progress window and 中止. A closing
// message gives the summary and names the backup.
class ImportFlow
{
public:
    // saveShownDay saves the day the window shows and returns false when that failed (it has
    // said why then); showAgain loads the shown day again once days were written. archiveProgram
    // reads exports and makes backups.
    ImportFlow(QWidget* window, const Skin& skin, Diary& diary, std::function<bool()> saveShownDay,
               std::function<void()> showAgain, QString archiveProgram);

    // Adds 「読み込み...」 to the window's menu.
    static void addToMenu(QMenu& menu, QWidget* window, const Skin& skin,
                          const std::function<Diary&()>& diary,
                          const std::function<bool()>& saveShownDay,
                          const std::function<void()>& showAgain);

    void importExport();

private:
    QWidget* m_window;
    const Skin& m_skin;
    Diary& m_diary;
    std::function<bool()> m_saveShownDay;
    std::function<void()> m_showAgain;
    QString m_archiveProgram;
};
