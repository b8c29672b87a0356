#include "widgets/AnimateWindow.h"
#include "core/DiaryError.h"
#include "widgets/WindowSystem.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace {

// A window system that records the requests and lets the test play the window manager. Like
// Qt's, it reports a requested state change while it is being asked.
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
        minimized = true;
        emit stateChanged();
    }

    void restore(QPoint position) override
    {
        requests << QStringLiteral("restore %1,%2").arg(position.x()).arg(position.y());
        at = position;
        minimized = false;
        emit stateChanged();
    }

    // What a window manager does on its own.
    void iconify()
    {
        minimized = true;
        emit stateChanged();
    }

    void deiconify(QPoint position)
    {
        at = position;
        minimized = false;
        emit stateChanged();
    }
};

// A window with its component on the fake, and what the component reported.
struct Animated
{
    QWidget form;
    FakeWindowSystem* fake = new FakeWindowSystem;
    TAnimateWindow animate{&form, std::unique_ptr<WindowSystem>(fake)};
    QSignalSpy minimized{&animate, &TAnimateWindow::OnMinimize};
    QSignalSpy restored{&animate, &TAnimateWindow::OnRestore};
};

enum class WayBack
{
    TaskBarSamePlace,
    TaskBarElsewhere,
    Activated
};

QString refusal(QWidget& form)
{
    try {
        new TAnimateWindow(&form, std::make_unique<FakeWindowSystem>());
    } catch (const DiaryError& e) {
        return e.message();
    }
    return QStringLiteral("no error");
}

} // namespace

class AnimateWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void secondOnOneWindow_isRefused_andTheFirstKeepsWorking()
    {
        QWidget form;
        auto system = std::make_unique<FakeWindowSystem>();
        FakeWindowSystem& fake = *system;
        auto* first = new TAnimateWindow(&form, std::move(system));
        const auto childrenBefore = form.children().size();

        QCOMPARE(refusal(form), QStringLiteral("AnimateWindowはフォームに一つしか置けません"));
        QCOMPARE(refusal(form), QStringLiteral("AnimateWindowはフォームに一つしか置けません"));
        QCOMPARE(form.children().size(), childrenBefore);

        QWidget other;
        QVERIFY(new TAnimateWindow(&other, std::make_unique<FakeWindowSystem>()));

        QSignalSpy minimized(first, &TAnimateWindow::OnMinimize);
        first->AnimatedMinimize();
        QCOMPARE(fake.requests, QStringList{QStringLiteral("minimize")});
        QCOMPARE(minimized.size(), 1);

        delete first;
        QCOMPARE(refusal(form), QStringLiteral("no error"));
    }

    void minimize_comesBackWhereItStood_data()
    {
        QTest::addColumn<WayBack>("way");
        QTest::newRow("task bar, window manager keeps the place") << WayBack::TaskBarSamePlace;
        QTest::newRow("task bar, window manager places it elsewhere") << WayBack::TaskBarElsewhere;
        QTest::newRow("activated while still in the task bar") << WayBack::Activated;
    }

    void minimize_comesBackWhereItStood()
    {
        QFETCH(WayBack, way);
        Animated w;
        FakeWindowSystem& fake = *w.fake;

        w.animate.AnimatedMinimize();
        QVERIFY(fake.minimized);
        fake.at = QPoint(0, 0); // an iconified window's place means nothing
        switch (way) {
        case WayBack::TaskBarSamePlace:
            fake.deiconify(QPoint(100, 200));
            break;
        case WayBack::TaskBarElsewhere:
            fake.deiconify(QPoint(7, 7));
            break;
        case WayBack::Activated:
            emit fake.activated();
            break;
        }

        QCOMPARE(fake.requests,
                 (QStringList{QStringLiteral("minimize"), QStringLiteral("restore 100,200")}));
        QCOMPARE(fake.at, QPoint(100, 200));
        QVERIFY(!fake.minimized);
        QCOMPARE(w.minimized.size(), 1);
        QCOMPARE(w.restored.size(), 1);

        emit fake.activated();
        fake.deiconify(QPoint(3, 3));
        QCOMPARE(w.restored.size(), 1);
        QCOMPARE(fake.requests.size(), 2);
    }

    void windowManagerIconifies_componentFollows()
    {
        Animated w;
        FakeWindowSystem& fake = *w.fake;

        fake.iconify();
        QCOMPARE(w.minimized.size(), 1);
        fake.deiconify(QPoint(9, 9));
        QCOMPARE(fake.requests, QStringList{QStringLiteral("restore 100,200")});
        QCOMPARE(w.restored.size(), 1);
    }

    void activatedWhileShown_changesNothing()
    {
        Animated w;
        FakeWindowSystem& fake = *w.fake;

        emit fake.activated();
        QVERIFY(fake.requests.isEmpty());
        QCOMPARE(w.restored.size(), 0);
    }

    // The real window system on Qt's window states: a raise of the iconified window brings it
    // back at its place.
    void desktop_minimizeThenRaise_restoresAtThePlace()
    {
        QWidget form(nullptr, Qt::FramelessWindowHint);
        form.setGeometry(40, 50, 320, 320);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TAnimateWindow animate(&form);
        QSignalSpy restored(&animate, &TAnimateWindow::OnRestore);

        animate.AnimatedMinimize();
        QTRY_VERIFY(form.isMinimized());
        form.raise();
        QTRY_VERIFY(!form.isMinimized());
        QCOMPARE(form.pos(), QPoint(40, 50));
        QVERIFY(form.isVisible());
        QCOMPARE(restored.size(), 1);
    }
};

QTEST_MAIN(AnimateWindowTest)
#include "AnimateWindowTest.moc"
