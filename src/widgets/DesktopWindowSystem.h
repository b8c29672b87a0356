#pragma once

#include "widgets/WindowSystem.h"

class QWidget;

// The window system of a real desktop, on Qt's window states. On X11 Qt turns these into the
// requests a window manager honours: an iconify request (WM_CHANGE_STATE), a map to bring the
// window back, and _NET_ACTIVE_WINDOW to activate it; it reports the window manager's answer
// (WM_STATE, _NET_WM_STATE_HIDDEN) back as window state changes.
class DesktopWindowSystem : public WindowSystem
{
    Q_OBJECT

public:
    explicit DesktopWindowSystem(QWidget* window);

    QPoint position() const override;
    bool isMinimized() const override;
    void minimize() override;
    void restore(QPoint position) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
};
