#include "app/SingleWindow.h"

#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// A second start on an open diary: the copy that holds it answers and brings itself forward.
class SingleWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_diary;

    // Asks from another thread, as a second copy would: the answer comes from this thread's
    // event loop.
    bool askFromOutside() const
    {
        auto asked = std::async(std::launch::async,
                                [this] { return SingleWindow::bringForward(m_diary.path()); });
        while (asked.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return asked.get();
    }

private slots:
    void bringForward_raisesTheOpenWindow_onlyWhereOneListens()
    {
        QTemporaryDir other;
        QWidget window;
        window.showMinimized();
        SingleWindow single(m_diary.path(), &window);
        QVERIFY(!askFromOutside());
        QVERIFY(single.listen());
        QVERIFY(askFromOutside());
        QVERIFY(!window.isMinimized());
        QVERIFY(!SingleWindow::bringForward(other.path()));
        QVERIFY(SingleWindow::socketPath(m_diary.path()) != SingleWindow::socketPath(other.path()));
    }

    void bringForward_duringThePasswordPrompt_raisesThePromptAndLeavesTheWindowHidden()
    {
        QWidget window;
        QDialog prompt(&window);
        prompt.setModal(true);
        prompt.show();
        SingleWindow single(m_diary.path(), &window);
        QVERIFY(single.listen());
        QVERIFY(askFromOutside());
        QVERIFY(prompt.isVisible());
        QVERIFY(!window.isVisible());
    }

    // A crashed copy leaves its socket behind; the next copy takes the name over, and a copy
    // ending removes its own socket only, never the one that replaced it.
    void listen_takesOverALeftSocket_andLeavesTheNextCopysSocket()
    {
        const QByteArray path = QFile::encodeName(SingleWindow::socketPath(m_diary.path()));
        const int left = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        QCOMPARE(::bind(left, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(left);
        QVERIFY(!askFromOutside());

        QWidget window;
        auto first = std::make_unique<SingleWindow>(m_diary.path(), &window);
        QVERIFY(first->listen());
        QVERIFY(askFromOutside());
        SingleWindow next(m_diary.path(), &window);
        QVERIFY(next.listen());
        first.reset();
        QVERIFY(askFromOutside());
    }
};

QTEST_MAIN(SingleWindowTest)
#include "SingleWindowTest.moc"
