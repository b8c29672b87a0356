#include "common/WindowFixture.h"
#include "editor/ColorMemo.h"

#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {
QAction* deleteItem(TForm1& form)
{
    for (QAction* action : form.PopupMenu1->actions())
        if (action->text() == QStringLiteral("この日を削除..."))
            return action;
    qFatal("no この日を削除... in the menu");
}
} // namespace

// Deleting the shown day from the menu: what the end-to-end test cannot reach, the save before
// the question and its failure.
class DeletionFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void menuItem_offeredOnlyOnADayWithAnEntry_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("offered");
        QTest::newRow("the day written") << 5 << true;
        QTest::newRow("a day without an entry") << 6 << false;
    }

    void menuItem_offeredOnlyOnADayWithAnEntry()
    {
        QFETCH(int, day);
        QFETCH(bool, offered);
        WindowFixture f;
        f.write("data/20240105", "snow");
        f.clock.setLocal(QDateTime(QDate(2024, 1, day), QTime(12, 0)));
        auto form = f.start();
        emit form->PopupMenu1->aboutToShow();
        QCOMPARE(deleteItem(*form)->isEnabled(), offered);
    }

    void delete_savesFirst_thenAsks_data()
    {
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<bool>("kept");
        const QStringList typedTitleAsked{"typed"};
        QTest::newRow("the save fails: nothing asked") << true << true << QStringList() << true;
        QTest::newRow("no") << false << false << typedTitleAsked << true;
        QTest::newRow("yes") << false << true << typedTitleAsked << false;
    }

    void delete_savesFirst_thenAsks()
    {
        QFETCH(bool, saveFails);
        QFETCH(bool, answer);
        QFETCH(QStringList, asked);
        QFETCH(bool, kept);
        WindowFixture f;
        f.write("data/20240105", "snow");
        f.write("diary.ini", "[title]\r\n20240105=stored\r\n");
        auto form = f.start();
        form->Edit1->setText("typed");
        QStringList titlesAsked;
        Dialogs::seams().confirm = [&](const QString& text) {
            titlesAsked << (text.contains("typed") ? "typed" : text);
            return answer;
        };
        if (saveFails)
            SafeFile::faultHook() = [](SafeFile::Step step, const QString&) {
                return step == SafeFile::Step::Create ? ENOSPC : 0;
            };
        deleteItem(*form)->trigger();
        SafeFile::faultHook() = {};
        QCOMPARE(titlesAsked, asked);
        QCOMPARE(f.messages.size(), saveFails ? 1 : 0);
        QCOMPARE(QFile::exists(f.entryPath("20240105")), kept);
        QCOMPARE(form->Memo1->text(), kept ? QStringLiteral("snow") : QString());
        QCOMPARE(form->Edit1->text(), kept ? QStringLiteral("typed") : QString());
    }
};

QTEST_MAIN(DeletionFlowTest)
#include "DeletionFlowTest.moc"
