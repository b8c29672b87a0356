#include "widgets/DesktopWindowSystem.h"

#include <QEvent>
#include <QWidget>

DesktopWindowSystem::DesktopWindowSystem(QWidget* window) : WindowSystem(window), m_window(window)
{
    m_window->installEventFilter(this);
}

QPoint DesktopWindowSystem::position() const
{
    return m_window->pos();
}

bool DesktopWindowSystem::isMinimized() const
{
    return m_window->isMinimized();
}

void DesktopWindowSystem::minimize()
{
    m_window->showMinimized();
}

void DesktopWindowSystem::restore(QPoint position)
{
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    if (m_window->pos() != position)
        m_window->move(position);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

bool DesktopWindowSystem::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::WindowStateChange:
            emit stateChanged();
            break;
        // A raise sends ZOrderChange; a window manager or another window activating it sends
        // WindowActivate.
        case QEvent::ZOrderChange:
        case QEvent::WindowActivate:
            emit activated();
            break;
        default:
            break;
        }
    }
    return WindowSystem::eventFilter(watched, event);
}
