#include "widgets/SkinnedForm.h"

#include "core/diary/Settings.h"
#include "widgets/CaptionDrag.h"
#include "widgets/CursorRegistry.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTextDocument>
#include <QToolButton>

#include <cmath>

SkinnedForm::SkinnedForm(const QImage& background, QRgb face, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setFont(windowFont());
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap::fromImage(background));
    Image1->setGeometry(QRect(QPoint(0, 0), background.size()));
    setFixedSize(background.size());

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(face));
    palette.setColor(QPalette::Button, QColor(face));
    setPalette(palette);
}

QFont SkinnedForm::windowFont(int pixelSize, bool bold)
{
    QFont font(Settings::defaultFontName());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void SkinnedForm::setTextColour(QWidget* widget, QRgb colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor(colour));
    palette.setColor(QPalette::ButtonText, QColor(colour));
    palette.setColor(QPalette::Text, QColor(colour));
    widget->setPalette(palette);
}

QLabel* SkinnedForm::makeLabel(const QString& text, const QRect& geometry, QRgb colour,
                               int pixelSize)
{
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    label->setFont(windowFont(pixelSize));
    label->setGeometry(geometry);
    setTextColour(label, colour);
    return label;
}

void SkinnedForm::autoSize(QLabel* label)
{
    label->resize(label->size().expandedTo(label->sizeHint()));
}

QString SkinnedForm::plainToolTip(const QString& text)
{
    return text.isEmpty() ? text : Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap);
}

QToolButton* SkinnedForm::makeTextButton(const QString& text, const QRect& geometry, QRgb colour)
{
    auto* button = new QToolButton(this);
    button->setText(text);
    button->setAutoRaise(true);
    button->setFont(windowFont(12, true));
    button->setGeometry(geometry);
    button->setCursor(CursorRegistry::cursor(5));
    setTextColour(button, colour);
    return button;
}

QToolButton* SkinnedForm::makePictureButton(const QImage& picture, const QRect& geometry)
{
    auto* button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setIcon(QIcon(QPixmap::fromImage(picture)));
    button->setIconSize(picture.size());
    button->setGeometry(geometry);
    button->setCursor(CursorRegistry::cursor(5));
    return button;
}

void SkinnedForm::centreOnScreen()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen)
        centreOver(screen->geometry());
}

void SkinnedForm::centreOver(const QRect& area)
{
    move(area.left() + static_cast<int>(std::lrint((area.width() - width()) / 2.0)),
         area.top() + static_cast<int>(std::lrint((area.height() - height()) / 2.0)));
}

void SkinnedForm::makeCaption(const QString& caption, QRgb captionColour, QRgb buttonColour,
                              QLabel*& label, QToolButton*& close)
{
    setWindowTitle(caption);
    label = makeLabel(caption, QRect(24, 4, width() - 48, 17), captionColour);
    label->setAlignment(Qt::AlignCenter);
    makeDragHandle(label);
    close = makeTextButton(QStringLiteral("×"), QRect(width() - 27, 4, 19, 17), buttonColour);
    close->setToolTip(QStringLiteral("閉じる (Esc)"));
}

void SkinnedForm::makeDragHandle(QLabel* label)
{
    CaptionDrag::install(label);
}
