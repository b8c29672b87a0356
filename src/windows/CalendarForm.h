#pragma once

#include "widgets/SkinnedForm.h"

class Announcer;
class Clock;
class Diary;
class Skin;
class TCalendarR;

// The calendar window: a month grid on the shown day, where days with an entry are bold and
// the selected day's title is the grid's tooltip. OK or Enter confirms the selected day
// (result 1); any other way out (Escape, the window manager) confirms nothing.
class TForm2 : public SkinnedForm
{
    Q_OBJECT

public:
    TForm2(const Skin& skin, const Diary& diary, const Clock& clock, QWidget* parent = nullptr);

    // The day the grid opens on at the next showing.
    double ShownDate = 0;
    // The day confirmed by the last OK; 1899-12-30 before the first.
    double chosenDate() const { return m_chosenDate; }

    QLabel* Label1 = nullptr;
    TCalendarR* Calendar1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void Calendar11Change();
    void SpeedButton3Click();

    const Diary& m_diary;
    double m_chosenDate = 0;
    Announcer* m_announcer = nullptr;
};
