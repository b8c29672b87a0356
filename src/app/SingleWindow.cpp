#include "app/SingleWindow.h"

#include "core/storage/RuntimeFolder.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr char Answer = '!';
// A copy of the program answers from its event loop at once; a socket that keeps a start waiting
// longer is no copy worth waiting for.
constexpr int WaitMs = 500;

bool addressOf(const QString& path, sockaddr_un& address)
{
    const QByteArray name = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    // An empty name would bind an abstract socket that any user can reach.
    if (name.isEmpty() || name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}

quint64 inodeOf(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? quint64(info.st_ino) : 0;
}

// Without the socket a second start shows the lock's message instead of this window: the reason
// is told where it can be looked up.
void warn(const QString& path, int error)
{
    qWarning().noquote() << QStringLiteral(
                                "tobiquill: %1 を作れません: %2。次の起動は、このウィンドウを"
                                "前に出す代わりに、日記が開いていると知らせます。")
                                .arg(QDir::toNativeSeparators(path),
                                     QString::fromLocal8Bit(std::strerror(error)));
}

// Another user's process must neither raise the window nor stand in for a running copy.
bool isSameUser(int socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::geteuid();
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

QString SingleWindow::socketPath(const QString& folder)
{
    return RuntimeFolder::fileFor(folder, QStringLiteral(".socket"));
}

bool SingleWindow::listen()
{
    sockaddr_un address;
    if (m_socket >= 0)
        return false;
    if (!addressOf(m_path, address)) {
        warn(m_path, ENAMETOOLONG);
        return false;
    }
    m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_socket < 0) {
        warn(m_path, errno);
        return false;
    }
    // What is at the name is in the way (the socket of a copy that crashed, a stray file; a
    // folder stays); the lock says this copy owns the name.
    ::unlink(address.sun_path);
    // Made private from the start: a mode set after bind leaves a moment in which it is not.
    const mode_t umask = ::umask(0177);
    const bool bound = ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::umask(umask);
    if (!bound || ::listen(m_socket, 4) != 0) {
        warn(m_path, errno);
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
        if (!isSameUser(client)) {
            ::close(client);
            continue;
        }
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
    // Not blocking: connecting to a socket whose queue is full fails at once instead of waiting.
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0)
        return false;
    bool answered = false;
    if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        isSameUser(socket)) {
        pollfd wait{socket, POLLIN, 0};
        char reply = 0;
        answered =
            ::poll(&wait, 1, WaitMs) == 1 && ::recv(socket, &reply, 1, 0) == 1 && reply == Answer;
    }
    ::close(socket);
    return answered;
}
