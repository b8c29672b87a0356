#pragma once

#include "core/diary/Settings.h"
#include "core/diary/ShownDay.h"
#include "skin/Skin.h"
#include "windows/MainFormUi.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class Clock;
class Announcer;
class AutoSave;
class Diary;
class TForm2;
class LookBackFlow;
class EncryptionFlow;

// The main window: start-up, the day shown, the day commands, close. It is the page the shown
// day's text fills; the rules of loading and saving it live in ShownDay.
class TForm1 : public QWidget, public MainFormUi, private ShownDay::Page
{
    Q_OBJECT

public:
    // programFolder holds diary.ini and the entries folder "data". The window is built but
    // nothing is read until FormCreate().
    TForm1(const QString& programFolder, const Clock& clock, QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up: folders, settings, skin, password gate, companion, today. False when it did not
    // finish (diary.ini unreadable, or the password prompt cancelled): the program then ends
    // with nothing written.
    bool FormCreate();
    // Start-up stopped on an error rather than on the user's wish.
    bool startupFailed() const { return m_startupFailed; }
    // Saves the shown day and writes every setting, reporting a failure in the error box; false
    // then. What the session's save request runs: the window stays open.
    bool FormClose();
    // Closes the window on a quit signal. Nobody is asked anything: when the save fails, the
    // unsaved text goes to a recovery file and the program ends; only when that fails too does
    // the window stay open with the text. True when the window closed.
    bool quit();

    void ShowDate(double date);
    // The settings as they stand: read at start-up, changed by the commands and the settings
    // window, written at close.
    const Settings& settings() const { return m_settings; }
    const Skin& skin() const { return m_skin; }
    // Null before start-up and after close.
    Diary* diary() const { return m_diary.get(); }
    ShownDay* shownDay() const { return m_day.get(); }

    // Made at its first use and kept: it remembers the day last chosen.
    std::unique_ptr<TForm2> Form2;

signals:
    // Start-up holds the diary (and its lock) now; the password prompt may follow.
    void diaryOpened();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void connectCommands();
    void writeSettings();
    void addCompanionComment(double reference);

    // The page of the shown day.
    QString title() const override;
    QString body() const override;
    void fill(const QString& title, const QString& body, bool locked) override;
    QStringList bodyLines() const override;
    void addBodyLine(const QString& line) override;
    void startAutoSave();
    void applySettings();
    void loadSkin();
    // The encryption window; afterRecovery: the diary was just opened with the recovery code.
    // Returns whether the diary is encrypted afterwards.
    bool openEncryption(bool afterRecovery);
    EncryptionFlow encryptionFlow();
    // Every loaded day opens at its first line: the scroll model's range is fitted to the body
    // and its position set to the top.
    void showFirstLine();
    void UpdateScrollRange();
    void g_Change();

    // Day commands.
    bool dayButtonUp(ImageButton* button, const QImage& normalFace);
    void YlMouseUp();
    void YrMouseUp();
    void todayMouseUp();
    void calMouseUp();
    void find1Click();
    void changeDay(double newDate);

    // Runs a step; whatever it throws is shown in the error box and reported as false.
    bool guarded(const std::function<void()>& step);
    double now() const;

    const Clock& m_clock;
    QString m_programFolder;
    std::unique_ptr<Diary> m_diary;
    std::unique_ptr<ShownDay> m_day;
    Settings m_settings;
    Skin m_skin;
    // A quit signal is closing the window: nothing may wait for a person.
    bool m_quitting = false;
    bool m_startupFailed = false;
    // The diary's days are being converted on another thread: the window leaves the diary alone.
    bool m_converting = false;
    // Where start-up placed the window: the nearest place to the stored position.
    QPoint m_placedAt;
    AutoSave* m_autoSave = nullptr;
    Announcer* m_announcer = nullptr;
    // Made at its first use and kept: its counts last the session.
    std::unique_ptr<LookBackFlow> m_lookBack;
};
