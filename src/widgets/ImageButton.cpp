#include "widgets/ImageButton.h"

#include <QMouseEvent>
#include <QPainter>

// The button's own press and release come from Space and from a screen reader's press.
ImageButton::ImageButton(QWidget* parent) : QAbstractButton(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::pressed, this, [this] { emit mouseDown(Qt::LeftButton); });
    connect(this, &QAbstractButton::released, this, [this] { emit mouseUp(Qt::LeftButton); });
}

void ImageButton::setPicture(const QImage& picture)
{
    m_picture = picture;
    repaint();
}

// The focus shows as a dotted frame, as on the calendar's grid; only the keyboard gives it.
void ImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

// A double click arrives as a second press (QWidget's default), so it moves twice.
void ImageButton::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button());
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(event->button());
}
