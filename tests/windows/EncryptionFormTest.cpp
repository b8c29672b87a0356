#include "windows/EncryptionForm.h"
#include "common/WindowFixture.h"
#include "skin/Skin.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {
// The diary's side, recorded: each step it is asked for, as "step:arguments".
class FakeSteps : public TEncryptionForm::Steps
{
public:
    bool encrypted = false;
    bool succeed = true;
    QStringList calls;

    bool isEncrypted() const override { return encrypted; }
    QString whyRefused(const QString& passphrase) const override
    {
        return passphrase.size() < 8 ? QStringLiteral("短すぎます") : QString();
    }
    std::optional<QString> turnOn(const QString& passphrase) override
    {
        calls << "on:" + passphrase;
        encrypted = succeed;
        return succeed ? std::optional<QString>("CODE") : std::nullopt;
    }
    bool turnOff() override
    {
        calls << "off";
        encrypted = !succeed;
        return succeed;
    }
    bool changePassphrase(const QString& current, const QString& passphrase) override
    {
        calls << "change:" + current + ">" + passphrase;
        return succeed;
    }
    std::optional<QString> newRecoveryCode() override
    {
        calls << "code";
        return succeed ? std::optional<QString>("CODE2") : std::nullopt;
    }
    std::optional<QString> rekey(const QString& current, const QString& passphrase) override
    {
        calls << "rekey:" + current + ">" + passphrase;
        return succeed ? std::optional<QString>("CODE3") : std::nullopt;
    }
};
} // namespace

// The window's own rules: what reaches the diary's steps, and what the window shows after.
class EncryptionFormTest : public QObject
{
    Q_OBJECT

private slots:
    void steps_data()
    {
        QTest::addColumn<bool>("encrypted");
        QTest::addColumn<bool>("afterRecovery");
        // Typed into 今の, 新しい and もう一度.
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<bool>("succeed");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("errors");
        QTest::addColumn<QString>("codeShown");
        const QStringList twice{"", "long enough", "long enough"};
        QTest::newRow("on: the two differ")
            << false << false << QStringList{"", "long enough", "long enougH"} << "TurnOn" << true
            << true << QStringList{} << 1 << "";
        QTest::newRow("on: too short") << false << false << QStringList{"", "short", "short"}
                                       << "TurnOn" << true << true << QStringList{} << 1 << "";
        QTest::newRow("on: failed") << false << false << twice << "TurnOn" << true << false
                                    << QStringList{"on:long enough"} << 0 << "";
        QTest::newRow("on") << false << false << twice << "TurnOn" << true << true
                            << QStringList{"on:long enough"} << 0 << "CODE";
        QTest::newRow("change: the two differ")
            << true << false << QStringList{"old", "long enough", "long"} << "Change" << true
            << true << QStringList{} << 1 << "";
        QTest::newRow("change: refused by the diary")
            << true << false << QStringList{"old", "long enough", "long enough"} << "Change" << true
            << false << QStringList{"change:old>long enough"} << 0 << "";
        QTest::newRow("change after the recovery code")
            << true << true << twice << "Change" << true << true
            << QStringList{"change:>long enough"} << 0 << "";
        QTest::newRow("new code: not confirmed")
            << true << false << QStringList{"", "", ""} << "NewCode" << false << true
            << QStringList{} << 0 << "";
        QTest::newRow("new code") << true << false << QStringList{"", "", ""} << "NewCode" << true
                                  << true << QStringList{"code"} << 0 << "CODE2";
        QTest::newRow("rekey: the two differ")
            << true << false << QStringList{"old", "long enough", "long"} << "Rekey" << true << true
            << QStringList{} << 1 << "";
        QTest::newRow("rekey: not confirmed")
            << true << false << QStringList{"old", "long enough", "long enough"} << "Rekey" << false
            << true << QStringList{} << 0 << "";
        QTest::newRow("rekey") << true << false << QStringList{"old", "long enough", "long enough"}
                               << "Rekey" << true << true << QStringList{"rekey:old>long enough"}
                               << 0 << "CODE3";
        QTest::newRow("off: not confirmed") << true << false << QStringList{"", "", ""} << "TurnOff"
                                            << false << true << QStringList{} << 0 << "";
        QTest::newRow("off") << true << false << QStringList{"", "", ""} << "TurnOff" << true
                             << true << QStringList{"off"} << 0 << "";
    }
    void steps()
    {
        QFETCH(bool, encrypted);
        QFETCH(bool, afterRecovery);
        QFETCH(QStringList, typed);
        QFETCH(QString, button);
        QFETCH(bool, confirmed);
        QFETCH(QString, codeShown);
        WindowFixture f;
        Dialogs::seams().confirm = [&](const QString&) { return confirmed; };
        FakeSteps steps;
        steps.encrypted = encrypted;
        QFETCH(bool, succeed);
        steps.succeed = succeed;
        TEncryptionForm form(Skin::build(QImage(":/scheme.png"), QImage(":/buttons.png")), steps,
                             afterRecovery);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.Current->isVisible(), encrypted && !afterRecovery);
        QLineEdit* fields[] = {form.Current, form.New, form.Again};
        for (int i = 0; i < 3; ++i)
            QTest::keyClicks(fields[i], typed[i]);
        form.findChild<QToolButton*>(button)->click();
        QTEST(steps.calls, "calls");
        QTEST(int(f.messages.size()), "errors");
        QCOMPARE(form.Code->isVisible(), !codeShown.isEmpty());
        QCOMPARE(form.Code->text(), codeShown);
        QVERIFY(form.Code->isReadOnly());
        // A page left after success keeps no passphrase in its fields.
        if (!steps.calls.isEmpty() && succeed)
            QCOMPARE(form.New->text(), QString());
        // The page follows the diary's state.
        if (codeShown.isEmpty())
            QCOMPARE(form.TurnOn->isVisible(), !steps.encrypted);
    }
};

QTEST_MAIN(EncryptionFormTest)
#include "EncryptionFormTest.moc"
