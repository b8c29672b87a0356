#include "widgets/SessionEnd.h"
#include "widgets/SingleWindow.h"

#include <QCloseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <future>

namespace {

class Window : public QWidget
{
public:
    bool refuse = false;
    int closeRequests = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closeRequests;
        event->setAccepted(!refuse);
    }
};

} // namespace

// Being told to end from outside, and a second start on an open diary.
class SessionEndTest : public QObject
{
    Q_OBJECT

private slots:
    void signal_closesTheWindowTheNormalWay_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
        QTest::newRow("SIGINT") << SIGINT;
    }

    void signal_closesTheWindowTheNormalWay()
    {
        QFETCH(int, signalNumber);
        Window window;
        window.show();
        const SessionEnd end(
            &window, [] { return true; }, [&] { return window.close(); });
        std::raise(signalNumber);
        QTRY_COMPARE(window.closeRequests, 1);
        QVERIFY(!window.isVisible());
    }

    void refusedClose_keepsTheWindow()
    {
        Window window;
        window.refuse = true;
        window.show();
        SessionEnd end(
            &window, [] { return true; }, [&] { return window.close(); });
        QVERIFY(!end.closeWindow());
        QVERIFY(window.isVisible());
        window.refuse = false;
        QVERIFY(end.closeWindow());
    }

    void bringForward_raisesTheOpenWindow_onlyWhereOneListens()
    {
        QTemporaryDir diary;
        QTemporaryDir other;
        Window window;
        window.showMinimized();
        const SingleWindow single(diary.path(), &window);
        // The answer comes from this thread's event loop; the asking side blocks on its own.
        auto asked = std::async(std::launch::async,
                                [&] { return SingleWindow::bringForward(diary.path()); });
        QTRY_VERIFY(asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
        QVERIFY(asked.get());
        QVERIFY(!window.isMinimized());
        QVERIFY(!SingleWindow::bringForward(other.path()));
        QVERIFY(SingleWindow::serverName(diary.path()) != SingleWindow::serverName(other.path()));
    }
};

QTEST_MAIN(SessionEndTest)
#include "SessionEndTest.moc"
