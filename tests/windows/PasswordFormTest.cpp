#include "windows/PasswordForm.h"
#include "common/WindowFixture.h"
#include "core/diary/Password.h"
#include "core/storage/CodePage932.h"
#include "core/storage/IniFile32.h"

#include <QDirIterator>
#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {
void lockDiary(WindowFixture& f, const QString& password)
{
    TIniFile32 ini(f.path("diary.ini"));
    ini.WriteString("data", "password", ScramblePassword(CodePage932::encode(password)));
    ini.WriteBool("data", "usepassword", true);
}

// Every file of the program folder with its bytes.
QMap<QString, QByteArray> snapshot(const WindowFixture& f)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(f.folder.path(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = QFileInfo(path).isFile() ? SafeFile::read(path) : QByteArray("<dir>");
    }
    return files;
}
} // namespace

// The password gate at start-up, answered through the modal-window seam.
class PasswordFormTest : public QObject
{
    Q_OBJECT

private slots:
    void entries_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("wrongMessages");
        QTest::newRow("empty passes empty") << "" << QStringList{""} << true << 0;
        QTest::newRow("exact") << "Abc1" << QStringList{"Abc1"} << true << 0;
        QTest::newRow("letter case counts") << "Abc1" << QStringList{"abc1"} << false << 1;
        QTest::newRow("no trimming") << "ab" << QStringList{"ab "} << false << 1;
        QTest::newRow("wrong, then right") << "pw" << QStringList{"x", "y", "pw"} << true << 2;
        // Hand-edited diary.ini: nine characters can never be typed into an eight-character edit.
        QTest::newRow("longer than the edit")
            << "123456789" << QStringList{"123456789"} << false << 1;
    }
    void entries()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, typed);
        QFETCH(bool, opens);
        QFETCH(int, wrongMessages);
        WindowFixture f;
        lockDiary(f, stored);
        int prompts = 0;
        Dialogs::seams().exec = [&](QDialog& dialog) {
            auto& prompt = dynamic_cast<TForm5&>(dialog);
            ++prompts;
            prompt.show();
            for (const QString& attempt : typed) {
                prompt.Edit2->clear();
                QTest::keyClicks(prompt.Edit2, attempt);
                prompt.SpeedButton3->click();
                if (prompt.result() == 1)
                    return 1;
                // The prompt stays with what was typed.
                if (!prompt.isVisible() || prompt.Edit2->text() != attempt.left(8))
                    return -1;
            }
            prompt.SpeedButton1->click();
            return prompt.result();
        };
        auto form = std::make_unique<TForm1>(f.folder.path(), f.clock);
        QCOMPARE(form->FormCreate(), opens);
        QCOMPARE(prompts, 1);
        QVERIFY(!form->startupFailed());
        QCOMPARE(f.informations,
                 QStringList(wrongMessages, QStringLiteral("情報|Passwordがちがうようです。")));
    }

    void cancel_leavesEveryFileAsItWas()
    {
        WindowFixture f;
        lockDiary(f, "secret");
        // A past day the companion would comment on at 07:00.
        f.write("data/20240104", "a\r\n");
        f.clock.setLocal(QDateTime(QDate(2024, 1, 5), QTime(7, 0)));
        const auto before = snapshot(f);
        Dialogs::seams().exec = [](QDialog& dialog) {
            dynamic_cast<TForm5&>(dialog).SpeedButton1->click();
            return dialog.result();
        };
        {
            auto form = std::make_unique<TForm1>(f.folder.path(), f.clock);
            QVERIFY(!form->FormCreate());
            QVERIFY(form->close());
        }
        QCOMPARE(snapshot(f), before);
    }

    void promptKeys_enterAndEscapeDoNothing_editTakesNoInputMethod()
    {
        WindowFixture f;
        TForm5 prompt(Skin::build(QImage(":/scheme.png"), QImage(":/buttons.png")), "pw");
        prompt.show();
        QVERIFY(QTest::qWaitForWindowExposed(&prompt));
        QCOMPARE(QApplication::focusWidget(), prompt.Edit2);
        QTest::keyClicks(prompt.Edit2, "pw");
        QTest::keyClick(prompt.Edit2, Qt::Key_Return);
        QTest::keyClick(prompt.Edit2, Qt::Key_Escape);
        QVERIFY(prompt.isVisible());
        QCOMPARE(prompt.result(), 0);
        QCOMPARE(prompt.size(), QSize(181, 150));
        QCOMPARE(prompt.Edit2->echoMode(), QLineEdit::Password);
        QVERIFY(!prompt.Edit2->testAttribute(Qt::WA_InputMethodEnabled));
        // What the input method asks of the focused control before it connects to it.
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QCoreApplication::sendEvent(prompt.Edit2, &query);
        QVERIFY(!query.value(Qt::ImEnabled).toBool());
    }

    void passwordOff_neverAsks()
    {
        WindowFixture f;
        Dialogs::seams().exec = [](QDialog&) { return -1; };
        auto form = f.start();
        QVERIFY(form->diary());
    }
};

QTEST_MAIN(PasswordFormTest)
#include "PasswordFormTest.moc"
