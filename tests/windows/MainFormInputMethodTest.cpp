#include "common/WindowFixture.h"
#include "core/CodePage932.h"
#include "editor/ColorMemo.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

// Japanese comes through an input method: its pre-edit text is shown but is not yet the entry's,
// what it commits is, and a commit the code page cannot hold meets the same refusal as the same
// text typed.
class MainFormInputMethodTest : public QObject
{
    Q_OBJECT

private:
    static QWidget* editor(const TForm1& form, bool title)
    {
        return title ? static_cast<QWidget*>(form.Edit1) : form.Memo1;
    }

    static QString text(const TForm1& form, bool title)
    {
        return title ? form.Edit1->text() : form.Memo1->text();
    }

    static void preedit(QWidget* widget, const QString& text)
    {
        QInputMethodEvent event(text, {});
        QCoreApplication::sendEvent(widget, &event);
    }

    static void commit(QWidget* widget, const QString& text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(widget, &event);
    }

    // Keys whose text is the character, as a keyboard layout for that script sends them.
    static void type(QWidget* widget, const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(widget, &press);
        }
    }

    static void editors_data()
    {
        QTest::addColumn<bool>("title");
        QTest::newRow("body") << false;
        QTest::newRow("title") << true;
    }

private slots:
    void preedit_isShownButNotSaved_commitIsSaved_data() { editors_data(); }

    void preedit_isShownButNotSaved_commitIsSaved()
    {
        QFETCH(bool, title);
        WindowFixture f;
        auto form = f.start();
        form->show();
        QWidget* target = editor(*form, title);
        target->setFocus();
        const QImage empty = target->grab().toImage();

        preedit(target, QStringLiteral("にっき"));
        QVERIFY2(target->grab().toImage() != empty, "the pre-edit text is shown");
        QCOMPARE(text(*form, title), QString());

        commit(target, QStringLiteral("日記"));
        QCOMPARE(text(*form, title), QStringLiteral("日記"));
        preedit(target, QStringLiteral("きょう"));
        QVERIFY(form->close());

        if (title) {
            QCOMPARE(f.read("data/20240105"), QByteArray());
            QVERIFY(f.read("diary.ini").contains(CodePage932::encode(QStringLiteral("=日記\r\n"))));
        } else {
            QCOMPARE(f.read("data/20240105"), CodePage932::encode(QStringLiteral("日記")));
        }
    }

    void unencodableCommit_isRefusedAsTypedTextIs_data()
    {
        QTest::addColumn<bool>("title");
        QTest::addColumn<bool>("committed");
        QTest::newRow("body, typed") << false << false;
        QTest::newRow("body, committed") << false << true;
        QTest::newRow("title, typed") << true << false;
        QTest::newRow("title, committed") << true << true;
    }

    void unencodableCommit_isRefusedAsTypedTextIs()
    {
        QFETCH(bool, title);
        QFETCH(bool, committed);
        WindowFixture f;
        auto form = f.start();
        form->show();
        QWidget* target = editor(*form, title);
        target->setFocus();
        const QString hangul = QStringLiteral("한글");
        if (committed)
            commit(target, hangul);
        else
            type(target, hangul);

        QCOMPARE(text(*form, title), hangul);
        QVERIFY(!form->close());
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages.first().contains(QStringLiteral("한")), qPrintable(f.messages.first()));
        QVERIFY(!QFile::exists(f.entryPath("20240105")));
        QVERIFY(!QFile::exists(f.path("diary.ini")));
    }
};

QTEST_MAIN(MainFormInputMethodTest)
#include "MainFormInputMethodTest.moc"
