#pragma once

#include <functional>

class Diary;
class QMenu;
class QWidget;
class ShownDay;

// "この日を削除..." from the window's menu, offered while the shown day has an entry. The day is
// saved first, so that the question names the title as stored; on yes the day shows empty, and
// the calendar plain. Every failure is said in the error box and keeps the day.
class DeletionFlow
{
public:
    DeletionFlow(QWidget* window, Diary& diary, ShownDay& day);

    // Adds the item last to the window's menu. diary and day give the window's, null before
    // start-up and after close.
    static void addToMenu(QMenu& menu, QWidget* window, const std::function<Diary*()>& diary,
                          const std::function<ShownDay*()>& day);

    void run();

private:
    QWidget* m_window;
    Diary& m_diary;
    ShownDay& m_day;
};
