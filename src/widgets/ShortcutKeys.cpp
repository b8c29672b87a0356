#include "widgets/ShortcutKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

ShortcutKeys::ShortcutKeys(QWidget* window, const QList<QWidget*>& controls,
                           QHash<int, QAction*> keys)
    : QObject(window), m_window(window), m_keys(std::move(keys))
{
    window->installEventFilter(this);
    for (QWidget* control : controls)
        control->installEventFilter(this);
}

QAction* ShortcutKeys::action(const QKeyEvent* event) const
{
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (mods != Qt::ControlModifier)
        return nullptr;
    return m_keys.value(event->key());
}

// The shortcuts act when the key comes up, judged by the modifiers held at that moment. The
// release that ran one goes no further: a command that opens a modal window moves the focus, and
// the same release passed on to the window afterwards would run the command a second time.
bool ShortcutKeys::keyUp(const QKeyEvent* event) const
{
    if (event->isAutoRepeat())
        return false;
    QAction* command = action(event);
    if (!command)
        return false;
    command->trigger();
    return true;
}

bool ShortcutKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease || event->type() == QEvent::KeyPress) {
        // Each keystroke is judged once, where it is first delivered: at the control that
        // has the focus, or at the window when no control has it.
        const QWidget* focus = QApplication::focusWidget();
        if (watched != focus && (watched != m_window || m_window->isAncestorOf(focus)))
            return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (event->type() == QEvent::KeyRelease)
            return keyUp(key);
        // The editors give some of these keys a meaning of their own (Ctrl+K deletes to the
        // end of the line); pressing a shortcut must not change the text the day is saved with.
        return action(key) != nullptr;
    }
    return QObject::eventFilter(watched, event);
}
