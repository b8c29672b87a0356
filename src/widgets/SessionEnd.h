#pragma once

#include <QObject>

class QSessionManager;
class QWidget;

// Closes the window the normal way, saving the day, when the program is told to end from
// outside: SIGTERM, SIGHUP or SIGINT, or the session manager's request to save before the
// desktop session ends. A refused close (the user stays after a failed save) cancels the end of
// the session where the session manager allows it.
class SessionEnd : public QObject
{
    Q_OBJECT

public:
    explicit SessionEnd(QWidget* window);

    // Closes the window unless a close started here is still running (a second signal while
    // the first close waits on a question changes nothing). True when the window closed.
    bool closeWindow();

private:
    void commitData(QSessionManager& manager);

    QWidget* m_window;
    bool m_closing = false;
};
