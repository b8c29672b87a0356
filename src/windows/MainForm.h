#pragma once

#include "skin/SchemeColors.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class Clock;
class DayStore;
class ImageButton;
class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class TAnimateWindow;
class TColorMemo;
class TIniFile32;

// The main window: start-up, the day shown, the day commands, close.
class TForm1 : public QWidget
{
    Q_OBJECT

public:
    // programFolder holds diary.ini and the entries folder "data".
    TForm1(const QString& programFolder, const Clock& clock, QWidget* parent = nullptr);
    ~TForm1() override;

    // True when start-up could not finish (diary.ini unreadable, or the password refused):
    // the program then ends with nothing written.
    bool startupFailed() const { return m_startupFailed; }

    void ShowDate(double date);
    void LoadDay(double date);
    void SaveDay(double date);
    void AddCompanionComment(double reference);

    // Replaces the font dialog; tests answer it in advance. No value means cancelled.
    using FontChooser = std::function<std::optional<QFont>(const QFont& current)>;
    void setFontChooser(FontChooser chooser) { m_fontChooser = std::move(chooser); }

    // Shared state that the other windows read.
    double ShownDate = 0;
    QString DataDir;
    std::unique_ptr<TIniFile32> IniFile;
    QString UserName;
    QString Password;
    bool UsePassword = false;
    QString SchemePath;
    QString ButtonPath;
    QString Url;
    TSchemeColors SchemeColors{};
    QImage Image6;

    // Components, named as in the window's design.
    QLabel* Image1 = nullptr;
    QLabel* Image11 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QLabel* Label1 = nullptr;
    ImageButton* Yl = nullptr;
    ImageButton* today = nullptr;
    ImageButton* Yr = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Image12 = nullptr;
    ImageButton* cal = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Edit1 = nullptr;
    TColorMemo* Memo1 = nullptr;
    TAnimateWindow* AnimateWindow1 = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QAction* Font1 = nullptr;
    QAction* N2 = nullptr;
    QAction* N1 = nullptr;
    QAction* forwordd1 = nullptr;
    QAction* back1 = nullptr;
    QAction* today1 = nullptr;
    QAction* cal1 = nullptr;
    QAction* ScrollBar1 = nullptr;

    // Button faces cut from the button strip: normal and pressed of each day button.
    QImage Image2, Image3, Image4, Image5, Image7, Image8, Image9, Image10;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createComponents();
    void createMenu();
    void FormCreate();
    bool FormClose();
    void applySettings();
    void checkUserPictures(QImage& scheme, QImage& buttons);
    void BuildSkin(const QImage& scheme, QImage buttons);
    void BuildButtonFaces(QImage strip);
    bool passwordGate();
    void showFirstLine();

    // Day commands.
    void dayButtonDown(ImageButton* button, const QImage& pressedFace);
    bool dayButtonUp(ImageButton* button, const QImage& normalFace);
    void YlMouseUp();
    void YrMouseUp();
    void todayMouseUp();
    void calMouseUp();
    void changeDay(double newDate);
    void FormKeyUp(QKeyEvent* event);
    QAction* shortcutAction(const QKeyEvent* event) const;
    void SpeedButton1Click();
    void Font1Click();
    void ScrollBar1Click();

    // Runs a step; a DiaryError is shown in the error box and reported as false.
    bool guarded(const std::function<void()>& step);
    QImage buttonPicture(const QImage& face, const ImageButton* button) const;
    double now() const;

    const Clock& m_clock;
    QString m_programFolder;
    std::unique_ptr<DayStore> m_store;
    FontChooser m_fontChooser;
    // The key of a day whose entry could not be loaded: the editors do not hold it, so it is
    // never saved from them, and they stay read-only until another day loads.
    QString m_unloadedKey;
    bool m_startupFailed = false;
};
