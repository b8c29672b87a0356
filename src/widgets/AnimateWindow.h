#pragma once

#include <QObject>
#include <QPoint>
#include <memory>

class QWidget;
class WindowSystem;

// Lets a borderless window go into its task-bar button and come back the way a normal window
// does, with whatever animation the window manager gives. It draws nothing and waits for
// nothing: it asks the window manager and follows what the window manager did.
//
// One per window: a second one on the same window throws DiaryError from its constructor, and
// the first stays in place and keeps working.
class TAnimateWindow : public QObject
{
    Q_OBJECT

public:
    // owner: a top-level window, which also owns the component.
    explicit TAnimateWindow(QWidget* owner);
    // The same on another window system, which the component owns (tests give a fake).
    TAnimateWindow(QWidget* owner, std::unique_ptr<WindowSystem> system);
    ~TAnimateWindow() override;

    // The window's own minimise button: remembers where the window stands and asks the window
    // manager to iconify it.
    void AnimatedMinimize();

signals:
    // After the window went into the task bar, by this component or by the window manager.
    void OnMinimize();
    // After the window came back.
    void OnRestore();

private:
    void windowStateChanged();
    void windowActivated();
    void restoreSequence();

    QWidget* ownerForm;
    std::unique_ptr<WindowSystem> m_system;
    // Where the window stood when it went into the task bar; it comes back there.
    QPoint m_restorePosition;
    bool m_minimized = false;
};
