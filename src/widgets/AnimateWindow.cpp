#include "widgets/AnimateWindow.h"

#include "core/storage/DiaryError.h"
#include "widgets/DesktopWindowSystem.h"

#include <QWidget>
#include <algorithm>
#include <vector>

namespace {

// The windows that carry a component, for the whole run.
std::vector<const QWidget*>& animatedForms()
{
    static std::vector<const QWidget*> forms;
    return forms;
}

// Refuses a window that already carries a component before any part of a second one exists,
// so that nothing of the failed one can unregister the first.
QWidget* unclaimed(QWidget* owner)
{
    Q_ASSERT(owner);
    if (std::ranges::find(animatedForms(), owner) != animatedForms().end())
        throw DiaryError(QStringLiteral("AnimateWindowはフォームに一つしか置けません"));
    return owner;
}

} // namespace

TAnimateWindow::TAnimateWindow(QWidget* owner) : TAnimateWindow(owner, nullptr) {}

TAnimateWindow::TAnimateWindow(QWidget* owner, std::unique_ptr<WindowSystem> system)
    : QObject(unclaimed(owner)), ownerForm(owner),
      m_system(system ? std::move(system) : std::make_unique<DesktopWindowSystem>(owner))
{
    connect(m_system.get(), &WindowSystem::stateChanged, this, &TAnimateWindow::windowStateChanged);
    connect(m_system.get(), &WindowSystem::activated, this, &TAnimateWindow::windowActivated);
    animatedForms().push_back(ownerForm);
}

TAnimateWindow::~TAnimateWindow()
{
    std::erase(animatedForms(), ownerForm);
}

void TAnimateWindow::AnimatedMinimize()
{
    // Marked first: the window system reports the new state while it is being asked.
    m_restorePosition = m_system->position();
    m_minimized = true;
    m_system->minimize();
    emit OnMinimize();
}

// The window manager may iconify or restore the window on its own (its keyboard shortcuts, a
// task bar): the component follows, so the window still comes back where it stood.
void TAnimateWindow::windowStateChanged()
{
    if (m_system->isMinimized()) {
        if (!m_minimized) {
            m_restorePosition = m_system->position();
            m_minimized = true;
            emit OnMinimize();
        }
    } else if (m_minimized) {
        restoreSequence();
    }
}

// Activating or raising a window that is still in the task bar brings it back.
void TAnimateWindow::windowActivated()
{
    if (m_system->isMinimized())
        restoreSequence();
}

void TAnimateWindow::restoreSequence()
{
    const QPoint position = m_minimized ? m_restorePosition : m_system->position();
    m_minimized = false;
    m_system->restore(position);
    emit OnRestore();
}
