#include "common/WindowFixture.h"
#include "editor/ColorMemo.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

// Text committed by an input method is kept as text typed is, also what the code page cannot
// hold (an emoji offered among the candidates). (ime_test.sh types Japanese through a real input
// method.)
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
        for (const char32_t c : text.toUcs4()) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                            QString::fromUcs4(&c, 1));
            QCoreApplication::sendEvent(widget, &press);
        }
    }

private slots:
    void unencodableCommit_isKeptAsTypedTextIs_data()
    {
        QTest::addColumn<bool>("title");
        QTest::addColumn<bool>("committed");
        QTest::newRow("body, typed") << false << false;
        QTest::newRow("body, committed") << false << true;
        QTest::newRow("title, typed") << true << false;
        QTest::newRow("title, committed") << true << true;
    }

    void unencodableCommit_isKeptAsTypedTextIs()
    {
        QFETCH(bool, title);
        QFETCH(bool, committed);
        WindowFixture f;
        auto form = f.start();
        form->show();
        QWidget* target = editor(*form, title);
        target->setFocus();
        const QString typed = QStringLiteral("한😊");
        if (committed)
            commit(target, typed);
        else
            type(target, typed);

        QCOMPARE(text(*form, title), typed);
        QVERIFY(form->close());
        QCOMPARE(f.messages, QStringList());
        QVERIFY(f.read(title ? "diary.ini" : "data/20240105").contains("&#xD55C;&#x1F60A;"));
    }
};

QTEST_MAIN(MainFormInputMethodTest)
#include "MainFormInputMethodTest.moc"
