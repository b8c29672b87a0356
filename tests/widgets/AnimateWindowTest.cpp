#include "widgets/AnimateWindow.h"
#include "core/storage/DiaryError.h"
#include "widgets/WindowSystem.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace {

// Records the requests; the test plays the window manager. Like Qt, it reports a requested
// state change while it is being asked.
class FakeWindowSystem : public WindowSystem
{
public:
    QPoint at{100, 200};
    bool minimized = false;
    QStringList requests;

    QPoint position() const override { return at; }
    bool isMinimized() const override { return minimized; }
    void minimize() override
    {
        requests << QStringLiteral("minimize");
        setState(true, at);
    }
    void restore(QPoint position) override
    {
        requests << QStringLiteral("restore %1,%2").arg(position.x()).arg(position.y());
        setState(false, position);
    }
    void setState(bool iconic, QPoint position)
    {
        minimized = iconic;
        at = position;
        emit stateChanged();
    }
};

QString refusal(QWidget& form)
{
    try {
        new TAnimateWindow(&form, std::make_unique<FakeWindowSystem>());
    } catch (const DiaryError& e) {
        return e.message();
    }
    return QStringLiteral("none");
}

enum class Way
{
    Button,
    WindowManager,
    TaskBar,
    TaskBarElsewhere,
    Activated
};

} // namespace

class AnimateWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void secondOnOneWindow_isRefused_andTheFirstKeepsWorking()
    {
        QWidget form;
        auto* fake = new FakeWindowSystem;
        auto* first = new TAnimateWindow(&form, std::unique_ptr<WindowSystem>(fake));
        const QString message = QStringLiteral("AnimateWindowはフォームに一つしか置けません");
        QCOMPARE(refusal(form), message);
        QCOMPARE(refusal(form), message);
        QCOMPARE(form.children().size(), 1);
        QWidget other;
        QCOMPARE(refusal(other), QStringLiteral("none"));

        first->AnimatedMinimize();
        QCOMPARE(fake->requests, QStringList{QStringLiteral("minimize")});
        delete first;
        QCOMPARE(refusal(form), QStringLiteral("none"));
    }

    void minimized_comesBackWhereItStood_data()
    {
        QTest::addColumn<Way>("in");
        QTest::addColumn<Way>("back");
        QTest::newRow("button, task bar") << Way::Button << Way::TaskBar;
        QTest::newRow("button, task bar places it elsewhere")
            << Way::Button << Way::TaskBarElsewhere;
        QTest::newRow("button, activated while iconic") << Way::Button << Way::Activated;
        QTest::newRow("window manager, task bar") << Way::WindowManager << Way::TaskBarElsewhere;
    }

    void minimized_comesBackWhereItStood()
    {
        QFETCH(Way, in);
        QFETCH(Way, back);
        QWidget form;
        auto* fake = new FakeWindowSystem;
        TAnimateWindow animate(&form, std::unique_ptr<WindowSystem>(fake));
        QSignalSpy minimized(&animate, &TAnimateWindow::OnMinimize);
        QSignalSpy restored(&animate, &TAnimateWindow::OnRestore);
        emit fake->activated(); // while shown: nothing to do

        QStringList requests{QStringLiteral("restore 100,200")};
        if (in == Way::Button) {
            animate.AnimatedMinimize();
            requests.prepend(QStringLiteral("minimize"));
        } else {
            fake->setState(true, fake->at);
        }
        QCOMPARE(minimized.size(), 1);
        if (back == Way::Activated)
            emit fake->activated();
        else
            fake->setState(false, back == Way::TaskBar ? QPoint(100, 200) : QPoint(7, 7));
        QCOMPARE(fake->requests, requests);
        QCOMPARE(fake->at, QPoint(100, 200));
        QVERIFY(!fake->minimized);
        QCOMPARE(restored.size(), 1);

        emit fake->activated();
        fake->setState(false, QPoint(3, 3));
        QCOMPARE(restored.size(), 1);
    }
};

QTEST_MAIN(AnimateWindowTest)
#include "AnimateWindowTest.moc"
