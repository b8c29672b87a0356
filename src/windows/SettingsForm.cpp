#include "windows/SettingsForm.h"

#include "skin/Skin.h"
#include "widgets/AccessibleNames.h"
#include "widgets/Dialogs.h"
#include "widgets/PasswordEdit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

TForm4::TForm4(const Skin& skin, const Settings& current, std::function<bool()> openEncryption,
               QWidget* parent)
    : SkinnedForm(skin.Image6(), skin.SchemeColors.Face, parent), m_values(current),
      m_openEncryption(std::move(openEncryption))
{
    setWindowTitle(QStringLiteral("Tobiquill"));
    const TSchemeColors& c = skin.SchemeColors;
    // The path buttons keep the plain button look: their captions are not skinned.
    const QRgb buttonText = palette().color(QPalette::ButtonText).rgb();

    Label1 = makeLabel(QStringLiteral("設定"), QRect(24, 4, 129, 17), c.BodyText);
    Label1->setAlignment(Qt::AlignCenter);
    makeDragHandle(Label1);
    Label2 = makeLabel(QStringLiteral("名前"), QRect(8, 40, 49, 17), c.DateText);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(72, 38, 97, 20);
    Label3 = makeLabel(QStringLiteral("PassWord"), QRect(8, 60, 57, 17), c.DateText);
    Edit2 = new PasswordEdit(this);
    Edit2->setGeometry(QRect(72, 58, 97, 18));
    CB1 = new QCheckBox(this);
    CB1->setGeometry(72, 78, 15, 17);
    CB1->setAutoFillBackground(true);
    Label4 = makeLabel(QStringLiteral("Use PassWord"), QRect(88, 78, 89, 17), c.DateText);
    Label4->installEventFilter(this);
    Label5 = makeLabel(QStringLiteral("scheme:"), QRect(9, 94, 41, 12), c.DateText);
    Labelsc = makeLabel(QString(), QRect(52, 94, 77, 12), c.DateText, 10);
    SpeedButton1 = makeTextButton(QStringLiteral("..."), QRect(136, 95, 25, 16), buttonText);
    Label6 = makeLabel(QStringLiteral("button :"), QRect(9, 110, 38, 12), c.DateText);
    Labelbu = makeLabel(QString(), QRect(52, 110, 77, 12), c.DateText, 10);
    SpeedButton2 = makeTextButton(QStringLiteral("..."), QRect(136, 112, 25, 16), buttonText);
    for (QLabel* caption : {Label2, Label3, Label4, Label5, Label6})
        autoSize(caption);
    for (QToolButton* pathButton : {SpeedButton1, SpeedButton2}) {
        pathButton->setFont(windowFont());
        pathButton->unsetCursor();
    }
    SpeedButton3 = makeTextButton(QStringLiteral("OK"), QRect(66, 122, 47, 20), c.DateText);
    Encrypted =
        makeLabel(QStringLiteral("日記は暗号化されています"), QRect(8, 60, 165, 17), c.DateText);
    Encryption = makeTextButton(QStringLiteral("暗号化..."), QRect(72, 76, 97, 18), c.DateText);
    AccessibleNames::apply(this, {{Edit1, "Edit1"},
                                  {Edit2, "Edit2"},
                                  {CB1, "CB1"},
                                  {Labelsc, "Labelsc"},
                                  {SpeedButton1, "SpeedButton1"},
                                  {Labelbu, "Labelbu"},
                                  {SpeedButton2, "SpeedButton2"},
                                  {SpeedButton3, "SpeedButton3"},
                                  {Encrypted, "Encrypted"},
                                  {Encryption, "Encryption"}});

    connect(SpeedButton1, &QToolButton::clicked, this, &TForm4::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm4::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm4::SpeedButton3Click);
    connect(Encryption, &QToolButton::clicked, this,
            [this] { showEncrypted(m_openEncryption && m_openEncryption()); });
    showEncrypted(bool(m_openEncryption));
}

// The password's controls and the encryption's note take the same place.
void TForm4::showEncrypted(bool encrypted)
{
    for (QWidget* password : std::initializer_list<QWidget*>{Label3, Edit2, CB1, Label4})
        password->setVisible(!encrypted);
    Encrypted->setVisible(encrypted);
    Encryption->setVisible(encrypted);
}

void TForm4::showEvent(QShowEvent* event)
{
    FormShow();
    SkinnedForm::showEvent(event);
}

void TForm4::FormShow()
{
    centreOnScreen();
    Edit1->setText(m_values.userName);
    Edit2->setText(m_values.password);
    CB1->setChecked(m_values.usePassword);
    setPath(Labelsc, m_values.schemePath);
    setPath(Labelbu, m_values.buttonPath);
}

// A path longer than its label is cut at the label's edge; the whole path is the tooltip.
void TForm4::setPath(QLabel* label, const QString& path)
{
    label->setText(path);
    label->setToolTip(plainToolTip(path));
}

void TForm4::SpeedButton1Click()
{
    if (const auto path = Dialogs::openPicture(this, QStringLiteral("OPEN SCHEME")))
        setPath(Labelsc, *path);
}

void TForm4::SpeedButton2Click()
{
    if (const auto path = Dialogs::openPicture(this, QStringLiteral("OPEN BUTTON")))
        setPath(Labelbu, *path);
}

void TForm4::Label4Click()
{
    CB1->setChecked(!CB1->isChecked());
}

// diary.ini keeps texts in code page 932 and the password scrambled on one line: what it could
// not give back unchanged is refused here, and the window stays open with the old settings.
void TForm4::SpeedButton3Click()
{
    Settings edited = m_values;
    // The edit holds eight characters at most: a longer password stored in diary.ini is shown
    // cut, and kept whole unless the user types a new one.
    if (Edit2->isModified())
        edited.password = Edit2->text();
    edited.userName = Edit1->text();
    edited.usePassword = CB1->isChecked();
    edited.schemePath = Labelsc->text();
    edited.buttonPath = Labelbu->text();
    if (const QString why = edited.whyNotStorable(); !why.isEmpty()) {
        Dialogs::error(this, why);
        return;
    }
    m_values = edited;
    done(1);
}

bool TForm4::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label4 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label4Click();
        return true;
    }
    return SkinnedForm::eventFilter(watched, event);
}
