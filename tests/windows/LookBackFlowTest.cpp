#include "common/WindowFixture.h"
#include "editor/ColorMemo.h"
#include "windows/LookBackForm.h"

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTest>

namespace {
void failCreating(bool fail)
{
    SafeFile::faultHook() = [fail](SafeFile::Step step, const QString&) {
        return fail && step == SafeFile::Step::Create ? ENOSPC : 0;
    };
}
} // namespace

// The look back from the menu: what the end-to-end test cannot reach, the save of the day left
// before the look back reads the disk and before a day chosen there shows, and its failure.
class LookBackFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void dayLeft_savedFirst_orEverythingStays_data()
    {
        QTest::addColumn<bool>("openFails");
        QTest::addColumn<bool>("chooseFails");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("shown");
        const QString friday = QStringLiteral("2024年1月5日 金");
        QTest::newRow("the save on opening fails") << true << false << false << friday;
        QTest::newRow("the save on choosing fails") << false << true << true << friday;
        QTest::newRow("both saves work")
            << false << false << true << QStringLiteral("2023年1月5日 木");
    }

    void dayLeft_savedFirst_orEverythingStays()
    {
        QFETCH(bool, openFails);
        QFETCH(bool, chooseFails);
        QFETCH(bool, opened);
        QFETCH(QString, shown);
        WindowFixture f;
        auto form = f.start();
        form->Memo1->setText("first");
        failCreating(openFails);
        for (QAction* action : form->PopupMenu1->actions())
            if (action->text().startsWith(QStringLiteral("振り返り")))
                action->trigger();
        auto* lookBack = form->findChild<TLookBackForm*>();
        QCOMPARE(lookBack && lookBack->isVisible(), opened);
        QCOMPARE(QFile::exists(f.entryPath("20240105")), !openFails);
        if (lookBack) {
            form->Memo1->setText("second");
            failCreating(chooseFails);
            emit lookBack->dayChosen(form->shownDay()->date() - 365);
            QCOMPARE(f.read("data/20240105"), chooseFails ? "first" : "second");
        }
        SafeFile::faultHook() = {};
        QCOMPARE(form->Label1->text(), shown);
        QCOMPARE(f.messages.size(), openFails || chooseFails ? 1 : 0);
    }
};

QTEST_MAIN(LookBackFlowTest)
#include "LookBackFlowTest.moc"
