#pragma once

#include <QObject>
#include <functional>

class QSessionManager;
class QWidget;

// Ends the program the normal way when it is told to from outside. SIGTERM, SIGHUP and SIGINT
// close the window, which saves the day. The session manager's save request (sent before the
// desktop session ends, and by some session managers at other moments too) runs commit, which
// saves the day and the settings and leaves the window open: the program must not end on a
// request that may be only a checkpoint. The end that follows arrives as SIGTERM or as a lost
// display, and the day is saved by then. A failed commit asks to cancel the session's end where
// the session manager lets the program ask.
class SessionEnd : public QObject
{
    Q_OBJECT

public:
    // commit saves what the window holds and tells whether it all reached the disk.
    SessionEnd(QWidget* window, std::function<bool()> commit);

    // Closes the window unless a close started here is still running (a second signal while
    // the first close waits on a question changes nothing). True when the window closed.
    bool closeWindow();

private:
    void commitData(QSessionManager& manager);

    QWidget* m_window;
    std::function<bool()> m_commit;
    bool m_closing = false;
};
