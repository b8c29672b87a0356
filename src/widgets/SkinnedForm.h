#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QToolButton;

// What every secondary window shares: no border, the skin's framed picture as its background
// (the window takes the picture's size), the skin's face colour, and a label that drags the
// window.
class SkinnedForm : public QDialog
{
    Q_OBJECT

public:
    SkinnedForm(const QImage& background, QRgb face, QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;

    // Centres the window on the screen it is on, or over an area (the main window), halves
    // going to the even neighbour.
    void centreOnScreen();
    void centreOver(const QRect& area);

    // The program's face at a pixel size, and a text colour from the skin; the main window's
    // labels take them too.
    static QFont windowFont(int pixelSize = 12, bool bold = false);
    static void setTextColour(QWidget* widget, QRgb colour);

protected:
    // A left press on the label moves the window with the mouse, as a caption would.
    void makeDragHandle(QLabel* label);
    // The window's caption across its top, a label that drags it, and the close button (Escape)
    // at its right.
    void makeCaption(const QString& caption, QRgb captionColour, QRgb buttonColour, QLabel*& label,
                     QToolButton*& close);
    // A label of fixed size: text longer than the label is cut at its edge. Labels show their
    // text as it is, never as markup.
    QLabel* makeLabel(const QString& text, const QRect& geometry, QRgb colour, int pixelSize = 12);
    // Grows a label that is not of fixed size until it shows its whole text.
    static void autoSize(QLabel* label);
    // A flat button with a bold caption and the program's button cursor.
    QToolButton* makeTextButton(const QString& text, const QRect& geometry, QRgb colour);
    QToolButton* makePictureButton(const QImage& picture, const QRect& geometry);
    // A tooltip that shows text such as a day's title or a path exactly as written: the toolkit
    // would take a text that looks like markup for markup.
    static QString plainToolTip(const QString& text);
};
