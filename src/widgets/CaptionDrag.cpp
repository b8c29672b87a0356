#include "widgets/CaptionDrag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

CaptionDrag::CaptionDrag(QWidget* handle) : QObject(handle)
{
    handle->installEventFilter(this);
}

void CaptionDrag::install(QWidget* handle)
{
    new CaptionDrag(handle);
}

bool CaptionDrag::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress ||
        static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return false;
    QWindow* window = static_cast<QWidget*>(watched)->window()->windowHandle();
    if (!window)
        return false;
    window->startSystemMove();
    return true;
}
