#include "windows/EncryptionForm.h"

#include "skin/Scheme.h"
#include "skin/Skin.h"
#include "widgets/AccessibleNames.h"
#include "widgets/Announcer.h"
#include "widgets/Dialogs.h"
#include "widgets/PasswordEdit.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {
const QString Caption = QStringLiteral("暗号化");
constexpr int Width = 300;
constexpr int Height = 230;
constexpr int PassphraseMaxLength = 1024;

QImage background(const Skin& skin)
{
    QImage frame(Width, Height, QImage::Format_RGB32);
    Scheme::PaintFrame(frame, skin.SchemeColors);
    return frame;
}
} // namespace

TEncryptionForm::TEncryptionForm(const Skin& skin, Steps& steps, bool afterRecovery,
                                 QWidget* parent)
    : SkinnedForm(background(skin), skin.SchemeColors.Face, parent), m_steps(steps),
      m_afterRecovery(afterRecovery)
{
    const TSchemeColors& c = skin.SchemeColors;
    makeCaption(Caption, c.BodyText, c.DateText, Label1, SpeedButton1);

    About = makeLabel(QString(), QRect(12, 26, Width - 24, 58), c.DateText);
    About->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    About->setWordWrap(true);
    const auto field = [&](const QString& caption, int y, QLabel*& label, QLineEdit*& edit) {
        label = makeLabel(caption, QRect(12, y + 2, 110, 17), c.DateText);
        edit = new PasswordEdit(this, PassphraseMaxLength);
        edit->setGeometry(QRect(126, y, Width - 138, 20));
    };
    field(QStringLiteral("今のパスフレーズ"), 88, CurrentLabel, Current);
    field(QStringLiteral("新しいパスフレーズ"), 112, NewLabel, New);
    field(QStringLiteral("もう一度"), 136, AgainLabel, Again);
    TurnOn = makeTextButton(QStringLiteral("暗号化する"), QRect(126, 162, 100, 22), c.DateText);
    Change = makeTextButton(QStringLiteral("変える"), QRect(126, 162, 100, 22), c.DateText);
    Rekey = makeTextButton(QStringLiteral("鍵を作り直す..."), QRect(12, 162, 110, 22), c.DateText);
    NewCode = makeTextButton(QStringLiteral("回復コードを作り直す..."), QRect(12, 188, 150, 20),
                             c.DateText);
    TurnOff =
        makeTextButton(QStringLiteral("暗号化をやめる..."), QRect(166, 188, 122, 20), c.DateText);
    // The code is text to select and copy, not to edit.
    Code = new QLineEdit(this);
    Code->setReadOnly(true);
    Code->setGeometry(QRect(12, 112, Width - 24, 22));
    Code->setFont(windowFont(14, true));
    Code->setAlignment(Qt::AlignCenter);
    Written =
        makeTextButton(QStringLiteral("書き留めました"), QRect(100, 162, 100, 22), c.DateText);
    Status = makeLabel(QString(), QRect(12, 210, Width - 24, 15), c.BodyText);
    m_announcer = new Announcer(this);

    AccessibleNames::apply(this, {{Label1, "Label1"},
                                  {About, "About"},
                                  {Current, "Current"},
                                  {New, "New"},
                                  {Again, "Again"},
                                  {TurnOn, "TurnOn"},
                                  {Change, "Change"},
                                  {Code, "Code"},
                                  {Written, "Written"},
                                  {NewCode, "NewCode"},
                                  {TurnOff, "TurnOff"},
                                  {Rekey, "Rekey"},
                                  {Status, "Status"},
                                  {SpeedButton1, "SpeedButton1"}});

    const auto guarded = [this](void (TEncryptionForm::*step)()) {
        return [this, step] { Dialogs::guard(this, [this, step] { (this->*step)(); }); };
    };
    connect(SpeedButton1, &QToolButton::clicked, this, &QDialog::reject);
    connect(TurnOn, &QToolButton::clicked, this, guarded(&TEncryptionForm::turnOnClick));
    connect(Change, &QToolButton::clicked, this, guarded(&TEncryptionForm::changeClick));
    connect(NewCode, &QToolButton::clicked, this, guarded(&TEncryptionForm::newCodeClick));
    connect(TurnOff, &QToolButton::clicked, this, guarded(&TEncryptionForm::turnOffClick));
    connect(Rekey, &QToolButton::clicked, this, guarded(&TEncryptionForm::rekeyClick));
    connect(Written, &QToolButton::clicked, this, [this] { showPage(Page::Encrypted); });
    showPage(m_steps.isEncrypted() ? Page::Encrypted : Page::Plain);
}

void TEncryptionForm::showEvent(QShowEvent* event)
{
    SkinnedForm::showEvent(event);
    if (m_page == Page::Plain || m_afterRecovery)
        New->setFocus();
    else if (m_page == Page::Encrypted)
        Current->setFocus();
}

void TEncryptionForm::showPage(Page page)
{
    m_page = page;
    const bool plain = page == Page::Plain;
    const bool encrypted = page == Page::Encrypted;
    const bool code = page == Page::Code;
    switch (page) {
    case Page::Plain:
        About->setText(
            QStringLiteral("日記をパスフレーズで暗号化します。パスフレーズを二度入れてください。"));
        break;
    case Page::Encrypted:
        About->setText(m_afterRecovery
                           ? QStringLiteral("回復コードで開きました。新しいパスフレーズを"
                                            "二度入れてください。")
                           : QStringLiteral("この日記は暗号化されています。パスフレーズを"
                                            "変えるには、今のものと新しいものを入れてください。"));
        break;
    case Page::Code:
        About->setText(QStringLiteral(
            "回復コードです。書き留めて、日記とは別の所にしまってください。パスフレーズと"
            "このコードの両方をなくすと、だれにも日記は読めません。作った私たちにもです。"));
        break;
    }
    CurrentLabel->setVisible(encrypted && !m_afterRecovery);
    Current->setVisible(encrypted && !m_afterRecovery);
    for (QWidget* widget : std::initializer_list<QWidget*>{NewLabel, New, AgainLabel, Again})
        widget->setVisible(!code);
    TurnOn->setVisible(plain);
    Change->setVisible(encrypted);
    NewCode->setVisible(encrypted);
    TurnOff->setVisible(encrypted);
    Rekey->setVisible(encrypted);
    Code->setVisible(code);
    Written->setVisible(code);
    if (!code)
        Code->clear();
}

std::optional<QString> TEncryptionForm::newPassphrase()
{
    const QString passphrase = New->text();
    if (Again->text() != passphrase) {
        Dialogs::error(this, QStringLiteral("二つの新しいパスフレーズがちがいます。"));
        Again->clear();
        Again->setFocus();
        return std::nullopt;
    }
    if (const QString why = m_steps.whyRefused(passphrase); !why.isEmpty()) {
        Dialogs::error(this, why);
        New->setFocus();
        return std::nullopt;
    }
    return passphrase;
}

void TEncryptionForm::turnOnClick()
{
    const std::optional<QString> passphrase = newPassphrase();
    if (!passphrase)
        return;
    const std::optional<QString> code = m_steps.turnOn(*passphrase);
    if (!code)
        return;
    clearPassphrases();
    showCode(*code, QStringLiteral("暗号化しました。回復コードを書き留めてください。"));
}

void TEncryptionForm::changeClick()
{
    const std::optional<QString> passphrase = newPassphrase();
    if (!passphrase || !m_steps.changePassphrase(Current->text(), *passphrase))
        return;
    clearPassphrases();
    m_afterRecovery = false;
    showPage(Page::Encrypted);
    tell(QStringLiteral("パスフレーズを変えました。"));
}

void TEncryptionForm::newCodeClick()
{
    if (!Dialogs::confirm(this,
                          QStringLiteral("新しい回復コードを作ります。今の回復コードは使えなく"
                                         "なります。"),
                          QStringLiteral("作り直す(&R)")))
        return;
    if (const std::optional<QString> code = m_steps.newRecoveryCode())
        showCode(*code, QStringLiteral("新しい回復コードを作りました。書き留めてください。"));
}

void TEncryptionForm::turnOffClick()
{
    if (!Dialogs::confirm(this,
                          QStringLiteral("暗号化をやめます。日記はだれにでも読める形で保存され"
                                         "ます。"),
                          QStringLiteral("やめる(&D)")) ||
        !m_steps.turnOff())
        return;
    clearPassphrases();
    m_afterRecovery = false;
    showPage(Page::Plain);
    New->setFocus();
    tell(QStringLiteral("暗号化をやめました。"));
}

void TEncryptionForm::rekeyClick()
{
    const std::optional<QString> passphrase = newPassphrase();
    if (!passphrase ||
        !Dialogs::confirm(this,
                          QStringLiteral("鍵を作り直し、すべての日を新しい鍵で暗号化し直します。"
                                         "新しいパスフレーズで開くようになり、今の回復コードと、"
                                         "古い鍵ファイルの写しは使えなくなります。"),
                          QStringLiteral("作り直す(&K)")))
        return;
    const std::optional<QString> code = m_steps.rekey(Current->text(), *passphrase);
    if (!code)
        return;
    clearPassphrases();
    m_afterRecovery = false;
    showCode(*code, QStringLiteral("鍵を作り直しました。新しい回復コードを書き留めてください。"));
}

void TEncryptionForm::showCode(const QString& code, const QString& said)
{
    showPage(Page::Code);
    Code->setText(code);
    Code->setFocus();
    Code->selectAll();
    tell(said);
}

void TEncryptionForm::tell(const QString& text)
{
    Status->setText(text);
    m_announcer->say(text);
}

void TEncryptionForm::clearPassphrases()
{
    for (QLineEdit* edit : {Current, New, Again})
        edit->clear();
}

// Enter in a passphrase field presses the page's button, once per keystroke; Escape closes.
void TEncryptionForm::keyPressEvent(QKeyEvent* event)
{
    const bool inField = focusWidget() == Current || focusWidget() == New || focusWidget() == Again;
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        if (!event->isAutoRepeat())
            reject();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (!event->isAutoRepeat() && inField)
            (m_page == Page::Plain ? TurnOn : Change)->click();
        return;
    default:
        SkinnedForm::keyPressEvent(event);
    }
}
