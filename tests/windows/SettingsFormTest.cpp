#include "windows/SettingsForm.h"
#include "common/WindowFixture.h"
#include "core/diary/Password.h"
#include "core/storage/CodePage932.h"
#include "windows/PasswordForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {
// Opens the settings through the menu, runs the steps in the shown window and returns its result.
int runSettings(TForm1& form, const std::function<void(TForm4&)>& steps)
{
    return runModal<TForm4>([&] { form.N2->trigger(); }, steps);
}
} // namespace

// The settings window: what it shows, what OK takes over, what every other way out keeps.
class SettingsFormTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_newValuesReachDiaryIni_andTheNextStartAsksForThePassword()
    {
        WindowFixture f;
        // A one-colour scheme the user picks; the button path names no file.
        QImage scheme(16, 16, QImage::Format_RGB32);
        scheme.fill(qRgb(0x12, 0x34, 0x56));
        const QString schemePath = f.path("s.bmp");
        QVERIFY(scheme.save(schemePath, "BMP"));
        QStringList titles;
        Dialogs::seams().openPicture = [&](const QString& title) {
            titles << title;
            return std::optional<QString>(title == "OPEN SCHEME" ? schemePath : "/skins/b.bmp");
        };
        {
            auto form = f.start();
            QVERIFY(form->N2->isEnabled() && form->N2->isVisible());
            runSettings(*form, [&](TForm4& w) {
                QCOMPARE(w.Edit1->text(), QStringLiteral("あなた"));
                QCOMPARE(w.Labelsc->text(), QString());
                w.Edit1->setText(QStringLiteral("花子"));
                QTest::keyClicks(w.Edit2, "123456789");
                QCOMPARE(w.Edit2->text(), QStringLiteral("12345678"));
                QTest::mouseClick(w.Label4, Qt::LeftButton);
                w.SpeedButton1->click();
                w.SpeedButton2->click();
                QVERIFY(w.Labelsc->toolTip().contains(schemePath));
                w.SpeedButton3->click();
            });
            QCOMPARE(titles, QStringList({"OPEN SCHEME", "OPEN BUTTON"}));
            QCOMPARE(form->settings().userName, QStringLiteral("花子"));
            QVERIFY(form->close());
        }
        const QByteArray ini = f.read("diary.ini");
        QVERIFY(ini.contains("username=" + CodePage932::encode(QStringLiteral("花子")) + "\r\n"));
        QVERIFY(ini.contains("password=" + ScramblePassword("12345678") + "\r\n"));
        QVERIFY(ini.contains("usepassword=1\r\nschemepath=" + schemePath.toLocal8Bit() +
                             "\r\nbuttonpath=/skins/b.bmp\r\n"));

        // The next start asks; the right password opens the diary in the scheme picked.
        int prompts = 0;
        Dialogs::seams().exec = [&](QDialog& dialog) {
            ++prompts;
            auto& prompt = dynamic_cast<TForm5&>(dialog);
            prompt.Edit2->setText("12345678");
            prompt.SpeedButton3->click();
            return prompt.result();
        };
        auto again = std::make_unique<TForm1>(f.folder.path(), f.clock);
        QVERIFY(again->FormCreate());
        QCOMPARE(prompts, 1);
        QCOMPARE(again->skin().SchemeColors.Face, qRgb(0x12, 0x34, 0x56));
        QCOMPARE(again->settings().userName, QStringLiteral("花子"));
    }

    // Escape, the window manager, a refused OK: nothing of that showing is taken over.
    void otherWaysOut_takeNothingBack_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("escape");
        QTest::addColumn<int>("errors");
        QTest::newRow("escape") << "new" << true << 0;
        QTest::newRow("password diary.ini cannot hold") << QString("\u00e9") << false << 1;
    }
    void otherWaysOut_takeNothingBack()
    {
        QFETCH(QString, password);
        QFETCH(bool, escape);
        QFETCH(int, errors);
        WindowFixture f;
        Dialogs::seams().openPicture = [](const QString&) {
            return std::optional<QString>("/x.bmp");
        };
        auto form = f.start();
        const Settings before = form->settings();
        const int result = runSettings(*form, [&](TForm4& w) {
            w.Edit1->setText("someone");
            w.Edit2->selectAll();
            w.Edit2->insert(password); // as typed, not as set by the window
            w.CB1->setChecked(true);
            w.SpeedButton1->click();
            if (escape)
                QTest::keyClick(&w, Qt::Key_Escape);
            else
                w.SpeedButton3->click();
        });
        QVERIFY(result != 1);
        QCOMPARE(f.messages.size(), errors);
        const Settings& after = form->settings();
        QCOMPARE(after.userName, before.userName);
        QCOMPARE(after.password, before.password);
        QCOMPARE(after.usePassword, before.usePassword);
        QCOMPARE(after.schemePath, before.schemePath);
    }

    // A password longer than the edit's eight characters can come from a hand-edited diary.ini.
    void cancelledPictureDialog_keepsThePath_andOkWithoutChangesKeepsAll()
    {
        WindowFixture f;
        QVERIFY(Password::isStorable("abcdefghij"));
        const QByteArray stored = "password=" + ScramblePassword("abcdefghij") + "\r\n";
        f.write("diary.ini", "[data]\r\n" + stored);
        Dialogs::seams().openPicture = [](const QString&) { return std::optional<QString>(); };
        auto form = f.start();
        const Settings before = form->settings();
        runSettings(*form, [](TForm4& w) {
            w.SpeedButton1->click();
            w.SpeedButton3->click();
        });
        QCOMPARE(form->settings().userName, before.userName);
        QCOMPARE(form->settings().schemePath, before.schemePath);
        QCOMPARE(form->settings().usePassword, before.usePassword);
        QCOMPARE(form->settings().password, QStringLiteral("abcdefghij"));
        QVERIFY(form->close());
        QVERIFY(f.read("diary.ini").contains(stored));
    }

    void window_hasTheSkinsLook_andThePasswordEditTakesNoInputMethod()
    {
        WindowFixture f;
        auto form = f.start();
        runSettings(*form, [&](TForm4& w) {
            QCOMPARE(w.size(), QSize(181, 150));
            QCOMPARE(w.Image1->pixmap().toImage(), form->skin().Image6());
            QCOMPARE(w.Label2->palette().color(QPalette::WindowText).rgb(),
                     form->skin().SchemeColors.DateText);
            QCOMPARE(w.Label1->palette().color(QPalette::WindowText).rgb(),
                     form->skin().SchemeColors.BodyText);
            // Captions not of fixed size show whole; the path buttons' captions are not skinned.
            for (const QLabel* label : {w.Label2, w.Label3, w.Label4, w.Label5, w.Label6})
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <=
                             label->contentsRect().width(),
                         qPrintable(label->text()));
            QCOMPARE(w.SpeedButton1->palette().color(QPalette::ButtonText),
                     QApplication::palette().color(QPalette::ButtonText));
            QVERIFY(!w.Edit2->testAttribute(Qt::WA_InputMethodEnabled));
            QCOMPARE(w.Edit2->maxLength(), 8);
        });
    }
};

QTEST_MAIN(SettingsFormTest)
#include "SettingsFormTest.moc"
