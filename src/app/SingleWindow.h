#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;
class QWidget;

// A second start on a diary that is open brings the open window forward, or the password prompt
// while that is still up, and ends quietly. The copy that holds the diary's lock listens on a
// Unix socket beside the lock, in the user's private runtime folder, named after the diary's
// folder; the second copy connects, and the first raises its window and answers. Each end talks
// only to a process of the same user, and a socket that does not answer at once stands for no
// running copy: the start goes on, and the lock still keeps a second copy off the diary. A plain
// socket watched by the event loop keeps Qt's network module, and what it loads, out of the
// window process.
class SingleWindow : public QObject
{
    Q_OBJECT

public:
    explicit SingleWindow(const QString& folder, QWidget* window);
    ~SingleWindow() override;
    SingleWindow(const SingleWindow&) = delete;
    SingleWindow& operator=(const SingleWindow&) = delete;

    // Starts answering; called once this copy holds the diary's lock, so that whatever is at the
    // socket's name (a socket of a copy that crashed, a stray file) may be replaced and a live
    // copy's socket never is. False, with a warning, when no socket could be made: a second
    // start then meets the lock's message instead.
    bool listen();

    // Asks the copy that has the diary in folder open to bring its window forward; true when it
    // answered.
    static bool bringForward(const QString& folder);
    static QString socketPath(const QString& folder);

private:
    void answer();

    QString m_path;
    QWidget* m_window;
    int m_socket = -1;
    // The socket file this copy made, so that only that one is removed at the end.
    quint64 m_inode = 0;
    QSocketNotifier* m_notifier = nullptr;
};
