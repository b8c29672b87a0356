#include "app/SingleWindow.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QSocketNotifier>
#include <QWidget>

#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr char Answer = '!';
constexpr int WaitMs = 3000;

bool addressOf(const QString& path, sockaddr_un& address)
{
    const QByteArray name = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}

quint64 inodeOf(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? quint64(info.st_ino) : 0;
}
} // namespace

SingleWindow::SingleWindow(const QString& folder, QWidget* window)
    : QObject(window), m_path(socketPath(folder)), m_window(window)
{
}

SingleWindow::~SingleWindow()
{
    if (m_socket < 0)
        return;
    ::close(m_socket);
    if (m_inode != 0 && inodeOf(m_path) == m_inode)
        ::unlink(QFile::encodeName(m_path).constData());
}

// In the temporary folder, as before: a copy started from another session or terminal finds the
// same name whatever its runtime folder is. The name carries the user, and the socket is the
// user's alone.
QString SingleWindow::socketPath(const QString& folder)
{
    const QByteArray path = QDir(folder).canonicalPath().toUtf8();
    return QDir(QDir::tempPath())
        .filePath(
            QStringLiteral("tobiquill-%1-%2")
                .arg(::getuid())
                .arg(QString::fromLatin1(
                    QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(16))));
}

bool SingleWindow::listen()
{
    sockaddr_un address;
    if (m_socket >= 0 || !addressOf(m_path, address))
        return false;
    m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_socket < 0)
        return false;
    // A socket left by a copy that crashed is in the way; the lock says this copy owns the name.
    ::unlink(address.sun_path);
    if (::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(m_socket, 4) != 0) {
        ::close(m_socket);
        m_socket = -1;
        return false;
    }
    m_inode = inodeOf(m_path);
    m_notifier = new QSocketNotifier(qintptr(m_socket), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleWindow::answer);
    return true;
}

void SingleWindow::answer()
{
    int client;
    while ((client = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
        // The password prompt, while it is up, stands for the window it guards.
        QWidget* shown = QApplication::activeModalWidget();
        if (!shown) {
            shown = m_window;
            shown->showNormal();
        }
        shown->raise();
        shown->activateWindow();
        const ssize_t sent = ::send(client, &Answer, 1, MSG_NOSIGNAL);
        Q_UNUSED(sent);
        ::close(client);
    }
}

bool SingleWindow::bringForward(const QString& folder)
{
    sockaddr_un address;
    if (!addressOf(socketPath(folder), address))
        return false;
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    bool answered = false;
    if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        pollfd wait{socket, POLLIN, 0};
        char reply = 0;
        answered =
            ::poll(&wait, 1, WaitMs) == 1 && ::recv(socket, &reply, 1, 0) == 1 && reply == Answer;
    }
    ::close(socket);
    return answered;
}
