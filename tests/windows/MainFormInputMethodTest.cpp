#include "common/WindowFixture.h"
#include "editor/ColorMemo.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

// Text committed by an input method meets the same rules as text typed: a commit the code page
// cannot hold is refused at the save, as the same text typed is. (ime_test.sh types Japanese
// through a real input method.)
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

private slots:
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
