#pragma once

#include "core/tasks/DiaryRecord.h"
#include "core/tasks/RecordEngine.h"
#include "widgets/SkinnedForm.h"

class Clock;
class Diary;
class DiaryWatcher;
class QListWidget;
class QListWidgetItem;
class Skin;
class YearGrid;

// The look back: この日, the shown month and day in the diary's other years, newest first, with
// each day's title and first lines; and 記録, a year of days as a grid shaded by how much was
// written, with the days, characters and streaks. Enter or a click on a day of either asks the
// main window to show it (dayChosen). The window stays open beside the main window and follows
// its day (setShownDate); the counts are made off the window's thread, kept while the window
// lives, and made again for the days that change on disk.
class TLookBackForm : public SkinnedForm
{
    Q_OBJECT

public:
    TLookBackForm(const Skin& skin, const Diary& diary, const DiaryWatcher& watcher,
                  const Clock& clock, QWidget* parent = nullptr);

    // The main window's day: この日 shows its month and day, the grid goes to it.
    void setShownDate(double date);
    // Beside the area (the main window), where the screen has room: right, left, below, above;
    // over it when none has.
    void placeBeside(const QRect& area);
    // Whether counts have arrived.
    bool counted() const { return m_counted; }

    QLabel* Label1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QLabel* SameDayLabel = nullptr;
    QListWidget* SameDayList = nullptr;
    QLabel* RecordLabel = nullptr;
    QToolButton* PrevYear = nullptr;
    QToolButton* NextYear = nullptr;
    YearGrid* Grid = nullptr;
    QLabel* DayLabel = nullptr;
    QLabel* StatsLabel = nullptr;

signals:
    void dayChosen(double date);
    // The counts shown are complete (after each count).
    void countsShown();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillSameDay(const QDate& shown);
    QList<QDate> writtenDays() const;
    void chooseItem(const QListWidgetItem* item);
    void recordCounted(const DiaryRecord& record);
    void gridMoved(const QDate& current);
    void showStats();

    const Diary& m_diary;
    RecordEngine m_engine;
    QDate m_shown;
    bool m_counted = false;
};
