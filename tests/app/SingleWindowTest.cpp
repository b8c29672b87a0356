#include "app/SingleWindow.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <functional>
#include <future>
#include <linux/capability.h>
#include <optional>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

sockaddr_un addressOf(const QString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
    return address;
}

// A socket listening at path, or -1.
int listening(const QString& path, int queue = 4)
{
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = addressOf(path);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(socket, queue) == 0)
        return socket;
    ::close(socket);
    return -1;
}

// A start waiting in the queue at path, or -1 when the queue is full.
int waiting(const QString& path)
{
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    const sockaddr_un address = addressOf(path);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return socket;
    ::close(socket);
    return -1;
}

// Another user of the machine (65534), played by a child process of root's that keeps the right
// to pass closed doors: how it got into the runtime folder is not what is tested, who it is is.
class Stranger
{
public:
    // Runs work, which says when it is ready to be met, and ends with the code it returns.
    using Work = std::function<int(const std::function<void()>& ready)>;

    explicit Stranger(const Work& work)
    {
        int ready[2];
        if (::pipe(ready) != 0)
            qFatal("no pipe");
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
            __user_cap_data_struct caps[2]{};
            const bool stranger =
                ::prctl(PR_SET_KEEPCAPS, 1) == 0 && ::setresgid(65534, 65534, 65534) == 0 &&
                ::setresuid(65534, 65534, 65534) == 0 && ::syscall(SYS_capget, &header, caps) == 0;
            caps[0].effective = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
            if (!stranger || ::syscall(SYS_capset, &header, caps) != 0)
                ::_exit(100);
            ::_exit(work([&ready] { ::close(ready[1]); }));
        }
        ::close(ready[1]);
        // The stranger is ready when it lets go of the pipe, by its work or by ending.
        char none;
        while (::read(ready[0], &none, 1) < 0 && errno == EINTR) {
        }
        ::close(ready[0]);
    }
    ~Stranger()
    {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    Stranger(const Stranger&) = delete;
    Stranger& operator=(const Stranger&) = delete;

    // The stranger's exit code, once it has ended; -1 while it runs.
    int code()
    {
        int status = 0;
        if (m_code < 0 && ::waitpid(m_pid, &status, WNOHANG) == m_pid)
            m_code = WIFEXITED(status) ? WEXITSTATUS(status) : 101;
        return m_code;
    }

private:
    pid_t m_pid = -1;
    int m_code = -1;
};

} // namespace

// A second start on an open diary: the copy that holds it answers and brings itself forward.
class SingleWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_places;
    // A diary of its own for each test, and so names of its own.
    std::optional<QTemporaryDir> m_diary;

    // Asks from another thread, as a second copy would: the answer comes from this thread's
    // event loop.
    bool askFromOutside() const
    {
        auto asked = std::async(std::launch::async,
                                [this] { return SingleWindow::bringForward(m_diary->path()); });
        while (asked.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return asked.get();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkdir(m_places.filePath(u"run"_s),
                             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QDir().mkdir(m_places.filePath(u"home"_s)));
        qputenv("HOME", QFile::encodeName(m_places.filePath(u"home"_s)));
    }

    void init()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_places.filePath(u"run"_s)));
        m_diary.emplace();
    }

    // What may be at the socket's name when a copy starts: each start must go on (the start
    // asked first gets no answer, promptly), then answer the next start itself, and only starts
    // of its own user.
    void start_data()
    {
        QTest::addColumn<QString>("found");
        QTest::newRow("nothing, under umask 0") << u"umask 0"_s;
        QTest::newRow("another user's socket that answers") << u"stranger"_s;
        QTest::newRow("a plain file") << u"file"_s;
        QTest::newRow("a socket that never answers") << u"silent"_s;
        QTest::newRow("a socket that never answers, starts waiting in its queue")
            << u"silent full"_s;
        QTest::newRow("no runtime folder") << u"no runtime"_s;
    }

    void start()
    {
        QFETCH(QString, found);
        if (::geteuid() != 0)
            QSKIP("another user is played by root");
        if (found == u"no runtime"_s)
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_places.filePath(u"missing"_s)));
        const mode_t umask = ::umask(found == u"umask 0"_s ? 0 : 022);
        const QString path = SingleWindow::socketPath(m_diary->path());
        const QByteArray name = QFile::encodeName(path);
        std::optional<Stranger> stranger;
        int silent = -1;
        int queued = -1;
        if (found == u"stranger"_s)
            stranger.emplace([&](const std::function<void()>& ready) {
                const int socket = listening(path);
                ready();
                for (int client; (client = ::accept(socket, nullptr, nullptr)) >= 0;) {
                    if (::send(client, "!", 1, MSG_NOSIGNAL) != 1)
                        return 3;
                    ::close(client);
                }
                return 2;
            });
        if (stranger)
            QCOMPARE(stranger->code(), -1);
        if (found == u"file"_s)
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        if (found == u"silent"_s)
            QVERIFY((silent = listening(path)) >= 0);
        if (found == u"silent full"_s) {
            QVERIFY((silent = listening(path, 0)) >= 0);
            QVERIFY((queued = waiting(path)) >= 0);
            QCOMPARE(waiting(path), -1);
        }

        QVERIFY(!askFromOutside());
        QWidget window;
        window.showMinimized();
        SingleWindow single(m_diary->path(), &window);
        QVERIFY(single.listen());
        ::umask(umask);
        ::close(silent);
        ::close(queued);

        struct stat socket
        {
        };
        struct stat folder
        {
        };
        QVERIFY(::lstat(name.constData(), &socket) == 0 && S_ISSOCK(socket.st_mode));
        QCOMPARE(socket.st_mode & 0777, 0600u);
        QVERIFY(::lstat(QFile::encodeName(QFileInfo(path).path()).constData(), &folder) == 0);
        QCOMPARE(folder.st_mode & 0777, 0700u);
        QVERIFY(!path.startsWith(m_places.filePath(u"missing"_s)));

        Stranger asking([&](const std::function<void()>& ready) {
            ready();
            const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const sockaddr_un address = addressOf(path);
            char reply = 0;
            if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
                return 2;
            return ::recv(socket, &reply, 1, 0) == 1 ? 1 : 0;
        });
        QTRY_VERIFY(asking.code() >= 0);
        QCOMPARE(asking.code(), 0);
        QVERIFY(window.isMinimized());
        QVERIFY(askFromOutside());
        QVERIFY(!window.isMinimized());
    }

    void bringForward_duringThePasswordPrompt_raisesThePromptAndLeavesTheWindowHidden()
    {
        QWidget window;
        QDialog prompt(&window);
        prompt.setModal(true);
        prompt.show();
        SingleWindow single(m_diary->path(), &window);
        QVERIFY(single.listen());
        QVERIFY(askFromOutside());
        QVERIFY(prompt.isVisible());
        QVERIFY(!window.isVisible());
    }

    // A crashed copy leaves its socket behind; the next copy takes the name over, a copy ending
    // removes its own socket only, never the one that replaced it, and another diary is another
    // name.
    void listen_takesOverALeftSocket_andLeavesTheNextCopysSocket()
    {
        ::close(listening(SingleWindow::socketPath(m_diary->path())));
        QVERIFY(!askFromOutside());

        QWidget window;
        auto first = std::make_unique<SingleWindow>(m_diary->path(), &window);
        QVERIFY(first->listen());
        QVERIFY(askFromOutside());
        SingleWindow next(m_diary->path(), &window);
        QVERIFY(next.listen());
        first.reset();
        QVERIFY(askFromOutside());
        QTemporaryDir other;
        QVERIFY(!SingleWindow::bringForward(other.path()));
    }
};

QTEST_MAIN(SingleWindowTest)
#include "SingleWindowTest.moc"
