#pragma once

#include <QObject>
#include <QPoint>

// What the window animation asks of the desktop for one top-level window: its place and state,
// and the requests a window manager honours. The window manager does the animating; tests put
// a fake in its place.
class WindowSystem : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The window's top-left corner on the screen.
    virtual QPoint position() const = 0;
    // True while the window manager keeps the window iconified in the task bar.
    virtual bool isMinimized() const = 0;

    // Asks the window manager to iconify the window.
    virtual void minimize() = 0;
    // Asks for the window back from the task bar: normal state, shown at position, raised and
    // active.
    virtual void restore(QPoint position) = 0;

signals:
    // The window went into the task bar or came back, whoever asked for it.
    void stateChanged();
    // The window was activated or raised.
    void activated();
};
