#pragma once

#include <functional>
#include <memory>

class Clock;
class Diary;
class DiaryWatcher;
class QWidget;
class Skin;
class TLookBackForm;

// The look back from the window's menu. It is made at its first opening and kept, so that its
// counts last the session; it stays open beside the window and follows its day. It counts the
// days from disk, so the shown day is saved first; a day chosen there is reached like any other
// change of day, the day left saved first.
class LookBackFlow
{
public:
    // saveShownDay saves the day the window shows and returns false when that failed (it has
    // said why then); showDay shows another day in the window.
    LookBackFlow(QWidget* window, const Skin& skin, const Diary& diary, const DiaryWatcher& watcher,
                 const Clock& clock, std::function<bool()> saveShownDay,
                 std::function<void(double)> showDay);
    ~LookBackFlow();

    // Opens the look back on the shown date, or brings it to the front.
    void open(double shownDate);
    // The window shows another day; an open look back goes to it.
    void follow(double shownDate);
    // Null until the first opening.
    TLookBackForm* form() const { return m_form.get(); }

private:
    QWidget* m_window;
    const Skin& m_skin;
    const Diary& m_diary;
    const DiaryWatcher& m_watcher;
    const Clock& m_clock;
    std::function<bool()> m_saveShownDay;
    std::function<void(double)> m_showDay;
    std::unique_ptr<TLookBackForm> m_form;
};
