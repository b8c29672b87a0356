#pragma once

#include <QObject>
#include <functional>

class QSessionManager;

// Ends the program the normal way when it is told to from outside. SIGTERM, SIGHUP and SIGINT
// run quit, which closes the window and saves the day without waiting for anyone. The session
// manager's save request (sent before the desktop session ends, and by some session managers at
// other moments too) runs commit, which saves the day and the settings and leaves the window open:
// the program must not end on a request that may be only a checkpoint. The end that follows arrives
// as SIGTERM or as a lost display, and the day is saved by then. A failed commit asks to cancel the
// session's end where the session manager lets the program ask.
class SessionEnd : public QObject
{
    Q_OBJECT

public:
    // commit saves what the window holds and tells whether it all reached the disk; quit closes
    // the window and tells whether it closed.
    SessionEnd(QObject* parent, std::function<bool()> commit, std::function<bool()> quit);

    // Runs quit unless a quit started here is still running (a second signal while the first
    // close is under way changes nothing). True when the window closed.
    bool closeWindow();

private:
    void commitData(QSessionManager& manager);

    std::function<bool()> m_commit;
    std::function<bool()> m_quit;
    bool m_closing = false;
};
