#include "windows/PasswordForm.h"

#include "skin/Skin.h"
#include "widgets/AccessibleNames.h"
#include "widgets/Dialogs.h"
#include "widgets/PasswordEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

TForm5::TForm5(const Skin& skin, QString password, QWidget* parent)
    : SkinnedForm(skin.Image6(), QApplication::palette().color(QPalette::Window).rgb(), parent),
      m_password(std::move(password))
{
    setWindowTitle(QStringLiteral("Tobiquill"));
    const TSchemeColors& c = skin.SchemeColors;
    Label1 = makeLabel(QStringLiteral("Please Password"), QRect(24, 4, 129, 17), c.BodyText);
    Label1->setAlignment(Qt::AlignCenter);
    Label3 = makeLabel(QStringLiteral("パスワード"), QRect(8, 66, 57, 17), c.DateText);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    autoSize(Label3);
    Edit2 = new PasswordEdit(this);
    Edit2->setGeometry(QRect(72, 64, 97, 20));
    SpeedButton1 = makeTextButton(QStringLiteral("Cancel"), QRect(18, 110, 47, 25), c.DateText);
    SpeedButton3 = makeTextButton(QStringLiteral("OK"), QRect(114, 110, 47, 25), c.DateText);
    setFocusProxy(Edit2);
    AccessibleNames::apply(
        this, {{Edit2, "Edit2"}, {SpeedButton1, "SpeedButton1"}, {SpeedButton3, "SpeedButton3"}});

    connect(SpeedButton3, &QToolButton::clicked, this, &TForm5::SpeedButton3Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &QDialog::reject);
}

void TForm5::showEvent(QShowEvent* event)
{
    centreOnScreen();
    SkinnedForm::showEvent(event);
    Edit2->setFocus();
}

// The comparison is exact: same length, same characters, letter case included, nothing trimmed.
void TForm5::SpeedButton3Click()
{
    if (Edit2->text() == m_password) {
        done(1);
        return;
    }
    Dialogs::information(this, QStringLiteral("情報"),
                         QStringLiteral("Passwordがちがうようです。"));
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
