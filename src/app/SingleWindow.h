#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

// A second start on a diary that is open brings the open window forward. The copy that has the
// diary open listens on a local socket named after the diary's folder and the user; the second
// copy asks it, then ends.
class SingleWindow : public QObject
{
    Q_OBJECT

public:
    // Listens for requests on behalf of window; called only by the copy that holds the lock.
    SingleWindow(const QString& folder, QWidget* window);

    // Asks the copy that has the diary in folder open to bring its window forward; true when it
    // answered.
    static bool bringForward(const QString& folder);
    static QString serverName(const QString& folder);

private:
    void answer();

    QWidget* m_window;
    QLocalServer* m_server;
};
