#include "windows/PasswordForm.h"

#include "core/tasks/PassphrasePrompt.h"
#include "skin/Skin.h"
#include "widgets/AccessibleNames.h"
#include "widgets/Dialogs.h"
#include "widgets/PasswordEdit.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QToolButton>

#include <exception>
#include <memory>

namespace {
// A passphrase has no upper limit the user would meet; the bound only keeps a paste sane.
constexpr int PassphraseMaxLength = 1024;
} // namespace

TForm5::TForm5(const Skin& skin, QString password, QWidget* parent)
    : TForm5(
          skin,
          [password = std::move(password)](const QString& typed) { return typed == password; },
          false, parent)
{
}

TForm5::TForm5(const Skin& skin, Check check, QWidget* parent)
    : TForm5(skin, std::move(check), true, parent)
{
}

TForm5::TForm5(const Skin& skin, Check check, bool passphrase, QWidget* parent)
    : SkinnedForm(skin.Image6(), QApplication::palette().color(QPalette::Window).rgb(), parent),
      m_check(std::move(check)), m_passphrase(passphrase)
{
    setWindowTitle(QStringLiteral("Tobiquill"));
    const TSchemeColors& c = skin.SchemeColors;
    Label1 = makeLabel(passphrase ? QStringLiteral("暗号化された日記")
                                  : QStringLiteral("Please Password"),
                       QRect(24, 4, 129, 17), c.BodyText);
    Label1->setAlignment(Qt::AlignCenter);
    Edit2 = new PasswordEdit(this, passphrase ? PassphraseMaxLength : 8);
    if (passphrase) {
        // The passphrase and the code are long: the field takes the window's width.
        Label3 = makeLabel(QStringLiteral("パスフレーズか回復コード"), QRect(8, 42, 165, 17),
                           c.DateText);
        Edit2->setGeometry(QRect(8, 62, 165, 20));
    } else {
        Label3 = makeLabel(QStringLiteral("パスワード"), QRect(8, 66, 57, 17), c.DateText);
        Edit2->setGeometry(QRect(72, 64, 97, 20));
    }
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    autoSize(Label3);
    SpeedButton1 = makeTextButton(QStringLiteral("Cancel"), QRect(18, 110, 47, 25), c.DateText);
    SpeedButton3 = makeTextButton(QStringLiteral("OK"), QRect(114, 110, 47, 25), c.DateText);
    setFocusProxy(Edit2);
    AccessibleNames::apply(this, {{Edit2, passphrase ? "Passphrase" : "Edit2"},
                                  {SpeedButton1, "SpeedButton1"},
                                  {SpeedButton3, "SpeedButton3"}});

    connect(SpeedButton3, &QToolButton::clicked, this,
            [this] { Dialogs::guard(this, [this] { SpeedButton3Click(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this, &QDialog::reject);
}

void TForm5::showEvent(QShowEvent* event)
{
    centreOnScreen();
    SkinnedForm::showEvent(event);
    Edit2->setFocus();
}

void TForm5::SpeedButton3Click()
{
    QString typed = Edit2->text();
    const bool opened = opens(typed);
    PassphrasePrompt::wipe(typed);
    if (opened) {
        done(1);
        return;
    }
    Dialogs::information(this, QStringLiteral("情報"),
                         m_passphrase ? QStringLiteral("パスフレーズか回復コードがちがうようです。")
                                      : QStringLiteral("Passwordがちがうようです。"));
}

bool TForm5::opens(const QString& typed)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_checking = true;
    bool opened = false;
    std::exception_ptr failure;
    QEventLoop loop;
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            opened = m_check(typed);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    // Input waits until the answer is known; painting goes on.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    m_checking = false;
    QGuiApplication::restoreOverrideCursor();
    if (failure)
        std::rethrow_exception(failure);
    return opened;
}

void TForm5::done(int result)
{
    // The field's text goes with the prompt; the window may live on for the session.
    Edit2->clear();
    SkinnedForm::done(result);
}

void TForm5::reject()
{
    if (!m_checking)
        SkinnedForm::reject();
}

// On the press: the release of an Enter that dismissed the wrong-password message comes back
// here, and must not press OK again.
void TForm5::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        if (!event->isAutoRepeat())
            SpeedButton1->click();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (!event->isAutoRepeat() && focusWidget() == Edit2)
            SpeedButton3->click();
        return;
    default:
        SkinnedForm::keyPressEvent(event);
    }
}
