#pragma once

class ImageButton;
class QAction;
class QImage;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class QWidget;
class Skin;
class TAnimateWindow;
class TColorMemo;
class TSlideBar;
struct Settings;

// The main window's components and its menu, named as in the window's design: how they are laid
// out, how the skin colours them and how the settings set them. What they do is the window's.
class MainFormUi
{
public:
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
    // The hidden scroll-position model of the body.
    TSlideBar* g = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QAction* Font1 = nullptr;
    QAction* N2 = nullptr;
    QAction* N1 = nullptr;
    QAction* forwordd1 = nullptr;
    QAction* back1 = nullptr;
    QAction* today1 = nullptr;
    QAction* cal1 = nullptr;
    QAction* find1 = nullptr;
    QAction* ScrollBar1 = nullptr;

protected:
    // Builds every component and the menu in window, each named after itself. The menu opens
    // from the menu button and from a right click on the background or the caption, which also
    // drags the window.
    void setupUi(QWidget* window);
    // The skin's background, colours and day-button faces.
    void showSkin(QWidget* window, const Skin& skin);
    static void showFace(ImageButton* button, const QImage& face, const Skin& skin);
    // The program's cursors on the day buttons and the body's links.
    void showCursors();
    // The body's font and the menu's two toggles, from the settings and back into them.
    void showSettings(const Settings& settings);
    void keepSettings(Settings& settings) const;
};
