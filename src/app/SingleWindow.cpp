#include "widgets/SingleWindow.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <unistd.h>

namespace {
const QByteArray Request = QByteArrayLiteral("forward\n");
const QByteArray Answer = QByteArrayLiteral("ok\n");
constexpr int WaitMs = 3000;
} // namespace

SingleWindow::SingleWindow(const QString& folder, QWidget* window)
    : QObject(window), m_window(window), m_server(new QLocalServer(this))
{
    // A socket left by a copy that crashed is in the way; the lock says this copy owns the name.
    QLocalServer::removeServer(serverName(folder));
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(serverName(folder));
    connect(m_server, &QLocalServer::newConnection, this, &SingleWindow::answer);
}

QString SingleWindow::serverName(const QString& folder)
{
    const QByteArray path = QDir(folder).canonicalPath().toUtf8();
    return QStringLiteral("tobiquill-%1-%2")
        .arg(::getuid())
        .arg(QString::fromLatin1(
            QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(16)));
}

void SingleWindow::answer()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->readAll().contains(Request))
                return;
            m_window->showNormal();
            m_window->raise();
            m_window->activateWindow();
            socket->write(Answer);
        });
    }
}

bool SingleWindow::bringForward(const QString& folder)
{
    QLocalSocket socket;
    socket.connectToServer(serverName(folder));
    if (!socket.waitForConnected(WaitMs))
        return false;
    socket.write(Request);
    if (!socket.waitForBytesWritten(WaitMs))
        return false;
    while (socket.bytesAvailable() < Answer.size() && socket.waitForReadyRead(WaitMs)) {
    }
    return socket.readAll() == Answer;
}
