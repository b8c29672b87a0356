#include "windows/EncryptionFlow.h"
#include "common/WindowFixture.h"
#include "core/diary/Diary.h"
#include "core/storage/KdfLimits.h"
#include "core/tasks/DiaryEncryption.h"
#include "editor/ColorMemo.h"
#include "windows/PasswordForm.h"
#include "windows/SettingsForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace {
const QString Passphrase = QStringLiteral("a long passphrase");

// The prompt and the encryption window are answered by the test's steps; every other modal
// window (the progress of a conversion) runs to its end.
void answer(const std::function<void(TForm5&)>& prompt,
            const std::function<void(TEncryptionForm&)>& encryption)
{
    Dialogs::seams().exec = [=](QDialog& dialog) {
        if (auto* form = dynamic_cast<TForm5*>(&dialog)) {
            form->show();
            prompt(*form);
        } else if (auto* form = dynamic_cast<TEncryptionForm*>(&dialog)) {
            form->show();
            encryption(*form);
        } else {
            return dialog.exec();
        }
        dialog.hide();
        return dialog.result();
    };
}

void type(QLineEdit* edit, const QString& text)
{
    edit->clear();
    QTest::keyClicks(edit, text);
}

void tryPrompt(TForm5& prompt, const QString& typed)
{
    type(prompt.Edit2, typed);
    prompt.SpeedButton3->click();
}

void chooseEncryption(TForm1& form)
{
    for (QAction* action : form.PopupMenu1->actions())
        if (action->text() == QStringLiteral("暗号化..."))
            action->trigger();
}
} // namespace

// The encryption window and the start-up prompt on a real diary: what reaches the disk, what the
// window shows.
class EncryptionFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { KdfLimits::forNewSlots() = KdfLimits::minimum(); }

    void turnedOn_thenAWrongCurrentPassphraseChangesNothing()
    {
        WindowFixture f;
        f.clock.setLocal(QDateTime(QDate(2024, 1, 5), QTime(12, 0)));
        QString code;
        {
            auto form = f.start();
            form->Edit1->setText(QStringLiteral("題"));
            form->Memo1->setText(QStringLiteral("本文"));
            answer({}, [&](TEncryptionForm& w) {
                type(w.New, "short");
                type(w.Again, "short");
                w.TurnOn->click();
                type(w.New, Passphrase);
                type(w.Again, Passphrase);
                w.TurnOn->click();
                code = w.Code->text();
            });
            chooseEncryption(*form);
            QCOMPARE(f.messages, QStringList{DiaryEncryption::whyNotPassphrase("short")});
            QVERIFY(!code.isEmpty());
            // The shown day was saved first, and sealed with the rest.
            QVERIFY(f.read("data/20240105").startsWith("TQSL"));
            QVERIFY(form->close());
        }

        // Opened with the passphrase, a new one is taken only after the current one.
        answer([](TForm5& prompt) { tryPrompt(prompt, Passphrase); },
               [](TEncryptionForm& w) {
                   type(w.Current, "a wrong passphrase");
                   type(w.New, "yet another one");
                   type(w.Again, "yet another one");
                   w.Change->click();
               });
        const QByteArray key = f.read("diary.key");
        auto form = f.start();
        QCOMPARE(form->Edit1->text(), QStringLiteral("題"));
        chooseEncryption(*form);
        QCOMPARE(f.messages.last(), QStringLiteral("今のパスフレーズがちがうようです。"));
        QCOMPARE(f.read("diary.key"), key);

        // The settings say the diary is encrypted where the password was, and lead here.
        int encryptionWindows = 0;
        Dialogs::seams().exec = [&](QDialog& dialog) {
            if (auto* settings = dynamic_cast<TForm4*>(&dialog)) {
                settings->show();
                if (!settings->Edit2->isVisible() && !settings->CB1->isVisible() &&
                    settings->Encrypted->isVisible())
                    settings->Encryption->click();
            }
            encryptionWindows += bool(dynamic_cast<TEncryptionForm*>(&dialog));
            return 0;
        };
        form->N2->trigger();
        QCOMPARE(encryptionWindows, 1);
    }

    void pendingAtStartUp_askedFirst_data()
    {
        QTest::addColumn<QString>("pending");
        QTest::addColumn<bool>("yes");
        QTest::newRow("a turn-off, declined") << "off" << false;
        QTest::newRow("a turn-off, agreed") << "off" << true;
        QTest::newRow("a plain day, declined") << "plain" << false;
        QTest::newRow("a plain day, agreed") << "plain" << true;
    }

    // A turn-off found at start-up, or a plain day no turning on explains, is asked about before
    // anything is converted: a no leaves every file as it was.
    void pendingAtStartUp_askedFirst()
    {
        QFETCH(QString, pending);
        QFETCH(bool, yes);
        WindowFixture f;
        f.clock.setLocal(QDateTime(QDate(2024, 1, 5), QTime(12, 0)));
        f.write("data/20240104", "sealed");
        {
            Diary diary(f.folder.path());
            DiaryEncryption::turnOn(diary, Passphrase);
            DiaryEncryption::finish(diary);
            if (pending == "off")
                DiaryEncryption::turnOff(diary);
        }
        if (pending == "plain")
            f.write("data/20240103", "planted");
        const QByteArray before = f.read(pending == "off" ? "data/20240104" : "data/20240103");
        Dialogs::seams().question = [&](const QString& text) {
            f.questions << text;
            return yes;
        };
        answer([](TForm5& prompt) { tryPrompt(prompt, Passphrase); }, {});
        auto form = f.start();
        QCOMPARE(f.questions.size(), 1);
        QVERIFY(f.questions[0].contains(pending == "off" ? "暗号化を解く途中" : "2024年1月3日"));
        if (pending == "plain")
            QCOMPARE(f.read("data/20240103").startsWith("TQSL"), yes);
        QCOMPARE(f.read("data/20240104").startsWith("TQSL"), !(pending == "off" && yes));
        QCOMPARE(QFile::exists(f.path("diary.key")), !(pending == "off" && yes));
        if (!yes)
            QCOMPARE(f.read(pending == "off" ? "data/20240104" : "data/20240103"), before);
    }
};

QTEST_MAIN(EncryptionFlowTest)
#include "EncryptionFlowTest.moc"
