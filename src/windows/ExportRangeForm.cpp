#include "windows/ExportRangeForm.h"

#include "skin/Skin.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

ExportRangeForm::ExportRangeForm(const Skin& skin, const QDate& shown, QWidget* parent)
    : SkinnedForm(skin.Image6(), QApplication::palette().color(QPalette::Window).rgb(), parent)
{
    setWindowTitle(QStringLiteral("書き出す日"));
    const TSchemeColors& c = skin.SchemeColors;
    makeLabel(QStringLiteral("書き出す日"), QRect(24, 4, 129, 17), c.BodyText)
        ->setAlignment(Qt::AlignCenter);
    Whole = new QCheckBox(QStringLiteral("全部"), this);
    Whole->setGeometry(QRect(12, 24, 150, 18));
    Whole->setChecked(true);
    setTextColour(Whole, c.DateText);
    const auto dateEdit = [&](const QString& caption, int y) {
        makeLabel(caption, QRect(12, y, 40, 20), c.DateText);
        auto* edit = new QDateEdit(shown, this);
        edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        edit->setCalendarPopup(true);
        edit->setGeometry(QRect(56, y, 112, 20));
        edit->setEnabled(false);
        connect(Whole, &QCheckBox::toggled, edit, &QWidget::setDisabled);
        return edit;
    };
    From = dateEdit(QStringLiteral("から"), 48);
    To = dateEdit(QStringLiteral("まで"), 74);
    Cancel = makeTextButton(QStringLiteral("Cancel"), QRect(18, 110, 47, 25), c.DateText);
    Ok = makeTextButton(QStringLiteral("OK"), QRect(114, 110, 47, 25), c.DateText);
    connect(Cancel, &QToolButton::clicked, this, &QDialog::reject);
    connect(Ok, &QToolButton::clicked, this, [this] {
        if (!Whole->isChecked() && From->date() > To->date())
            To->setDate(From->date());
        done(1);
    });
}

QDate ExportRangeForm::from() const
{
    return Whole->isChecked() ? QDate() : From->date();
}

QDate ExportRangeForm::to() const
{
    return Whole->isChecked() ? QDate() : To->date();
}

void ExportRangeForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Ok->click();
        return;
    }
    SkinnedForm::keyPressEvent(event);
}
