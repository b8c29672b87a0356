#include "windows/SearchForm.h"
#include "common/WindowFixture.h"
#include "core/diary/Diary.h"
#include "core/time/DiaryDate.h"
#include "editor/ColorMemo.h"
#include "skin/Skin.h"
#include "widgets/SearchHitDelegate.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolButton>

// The search window on its own, driven by keys and clicks; and reached from the main window.
class SearchFormTest : public QObject
{
    Q_OBJECT

private:
    static Skin skin()
    {
        return Skin::build(QImage(QStringLiteral(":/scheme.png")),
                           QImage(QStringLiteral(":/buttons.png")));
    }

    static void fill(Diary& diary)
    {
        diary.saveDay("20231120", "散歩", "日記");
        diary.saveDay("20231231", QString(), "大掃除\n今年のﾆｯｷを読み返した");
        diary.saveDay("20240101", "ニッキ帳", "元日");
        diary.saveDay("20240103", "初詣", "にっきを書いた");
    }

    // Types text one character at a time, as an input method hands it over.
    static void type(QWidget* target, const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
        }
    }

    static double date(const QString& key)
    {
        return DiaryDate::fromDateTime(QDateTime(QDate::fromString(key, "yyyyMMdd"), QTime()));
    }

private slots:
    void typing_listsDaysNewestFirst()
    {
        WindowFixture f;
        Diary diary(f.folder.path());
        fill(diary);
        TSearchForm form(skin(), diary);
        form.show();
        type(form.Edit1, QStringLiteral("にっき"));
        QTRY_VERIFY(form.searchDone());
        QCOMPARE(form.ListBox1->count(), 3);
        QCOMPARE(form.Label1->text(), QStringLiteral("3件"));
        const QListWidgetItem* first = form.ListBox1->item(0);
        QCOMPARE(first->text(), QStringLiteral("2024年1月3日 水  初詣"));
        QCOMPARE(first->data(SearchHitDelegate::LineRole).toString(),
                 QStringLiteral("にっきを書いた"));
        QCOMPARE(form.ListBox1->item(1)->text(), QStringLiteral("2024年1月1日 月  ニッキ帳"));
        QCOMPARE(form.ListBox1->item(2)->text(), QStringLiteral("2023年12月31日 日"));
        QVERIFY(!form.grab().isNull());

        form.Edit1->setText(QStringLiteral("猫"));
        QTRY_VERIFY(form.searchDone());
        QCOMPARE(form.ListBox1->count(), 0);
        QCOMPARE(form.Label1->text(), QStringLiteral("見つかりません"));
    }

    void choosing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("Enter in the query line") << "enter"
                                                 << "20240103";
        QTest::newRow("Down, then Enter") << "down"
                                          << "20240101";
        QTest::newRow("double click") << "double"
                                      << "20231231";
        QTest::newRow("Escape") << "escape"
                                << "";
        QTest::newRow("close button") << "close"
                                      << "";
    }

    void choosing()
    {
        QFETCH(QString, how);
        QFETCH(QString, chosen);
        WindowFixture f;
        Diary diary(f.folder.path());
        fill(diary);
        TSearchForm form(skin(), diary);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        type(form.Edit1, QStringLiteral("ﾆｯｷ"));
        if (how == "early") {
            QTest::keyClick(form.Edit1, Qt::Key_Return);
            QTRY_VERIFY(form.searchDone());
        }
        QTRY_VERIFY(form.searchDone());
        if (how == "enter") {
            QTest::keyClick(form.Edit1, Qt::Key_Return);
        } else if (how == "down") {
            QTest::keyClick(form.Edit1, Qt::Key_Down);
            QTest::keyClick(form.Edit1, Qt::Key_Enter);
        } else if (how == "double") {
            form.ListBox1->scrollToItem(form.ListBox1->item(2));
            const QPoint at = form.ListBox1->visualItemRect(form.ListBox1->item(2)).center();
            // A double click comes after the press and release of its first click.
            QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(form.ListBox1->viewport(), Qt::LeftButton, {}, at);
        } else if (how == "escape") {
            QTest::keyClick(form.Edit1, Qt::Key_Escape);
        } else {
            QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
        }
        QCOMPARE(form.isVisible(), false);
        QCOMPARE(form.result(), chosen.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
        if (chosen.isEmpty())
            QVERIFY(!form.chosenDate());
        else
            QCOMPARE(form.chosenDate().value_or(-1), date(chosen));
    }

    // Ctrl+F as a new user meets it: the day typed in is saved, the window opens centred over
    // the main window, and the day confirmed there is shown.
    void ctrlF_savesTheDay_showsTheDayChosen()
    {
        WindowFixture f;
        {
            Diary diary(f.folder.path());
            fill(diary);
        }
        auto form = f.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->Memo1->setFocus();
        form->Edit1->setText(QStringLiteral("今日のにっき"));
        QPoint searchCentre;
        QStringList listed;
        Dialogs::seams().exec = [&](QDialog& dialog) {
            auto& search = dynamic_cast<TSearchForm&>(dialog);
            searchCentre = search.geometry().center();
            search.show();
            search.Edit1->setText(QStringLiteral("にっき"));
            if (!QTest::qWaitFor([&] { return search.searchDone(); }))
                return int(QDialog::Rejected);
            for (int i = 0; i < search.ListBox1->count(); ++i)
                listed.append(search.ListBox1->item(i)->text());
            QTest::keyClick(search.Edit1, Qt::Key_Down);
            QTest::keyClick(search.Edit1, Qt::Key_Return);
            return search.result();
        };
        QTest::keyClick(form->windowHandle(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(f.messages, QStringList());
        QCOMPARE(listed.size(), 4);
        QVERIFY(listed.first().startsWith(QStringLiteral("2024年1月5日 金  今日のにっき")));
        QVERIFY((searchCentre - form->geometry().center()).manhattanLength() <= 1);
        QCOMPARE(form->Label1->text(), QStringLiteral("2024年1月3日 水"));
        QCOMPARE(form->Edit1->text(), QStringLiteral("初詣"));
    }
};

QTEST_MAIN(SearchFormTest)
#include "SearchFormTest.moc"
