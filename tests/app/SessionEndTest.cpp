#include "app/SessionEnd.h"

#include <QCloseEvent>
#include <QTest>
#include <QWidget>

#include <csignal>

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

// Being told to end from outside.
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
};

QTEST_MAIN(SessionEndTest)
#include "SessionEndTest.moc"
