#include "common/WindowFixture.h"
#include "editor/ColorMemo.h"

#include <QAction>
#include <QScrollBar>
#include <QTest>

// Every day the main window loads opens at its first line, however the body was scrolled.
class MainFormScrollTest : public QObject
{
    Q_OBJECT

private slots:
    void longEntryScrolledToItsEnd_opensAtItsFirstLineWhenComeBackTo()
    {
        WindowFixture f;
        QByteArray body;
        for (int i = 0; i < 60; ++i)
            body += "line " + QByteArray::number(i) + "\r\n";
        f.write("data/20240105", body);
        f.write("data/20240106", body);
        auto form = f.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(form->Memo1->VisibleLineCount() > 1);
        for (QAction* move : {form->forwordd1, form->back1}) {
            form->Memo1->verticalScrollBar()->setValue(form->Memo1->verticalScrollBar()->maximum());
            QVERIFY(form->Memo1->FirstVisibleLine() > 40);
            move->trigger();
            QCOMPARE(form->Memo1->FirstVisibleLine(), 0);
        }
        QVERIFY(f.messages.isEmpty());
    }

    void scrollBarChosenTwice_givesBackTheFirstState()
    {
        WindowFixture f;
        auto form = f.start();
        const Qt::ScrollBarPolicy before = form->Memo1->verticalScrollBarPolicy();
        form->ScrollBar1->trigger();
        QVERIFY(form->Memo1->verticalScrollBarPolicy() != before);
        form->ScrollBar1->trigger();
        QCOMPARE(form->Memo1->verticalScrollBarPolicy(), before);
        QVERIFY(!form->ScrollBar1->isChecked());
    }
};

QTEST_MAIN(MainFormScrollTest)
#include "MainFormScrollTest.moc"
