#include "widgets/ImageButton.h"

#include <QMouseEvent>
#include <QPainter>

ImageButton::ImageButton(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageButton::setPicture(const QImage& picture)
{
    m_picture = picture;
    repaint();
}

void ImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
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
