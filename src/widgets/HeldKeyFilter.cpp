#include "widgets/HeldKeyFilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {
// The physical key: its character changes with the modifiers (Shift+1 comes up as 1 when Shift
// goes up first). Synthetic events carry no scan code; their key code serves.
quint64 keyId(const QKeyEvent* event)
{
    if (const quint32 scanCode = event->nativeScanCode())
        return (quint64(1) << 32) | scanCode;
    return quint32(event->key());
}

// On X the scan code is the key code, and the server's key map says which keys are down.
bool xKeyDown(quint32 keyCode)
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || keyCode == 0 || keyCode > 255)
        return false;
    xcb_connection_t* connection = x11->connection();
    xcb_query_keymap_reply_t* map =
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr);
    if (!map)
        return false;
    const bool down = map->keys[keyCode / 8] & (1 << (keyCode % 8));
    std::free(map);
    return down;
}

// The toolkit pairs a repeat's release and press when they are at most this far apart.
constexpr qint64 PairMs = 10;
} // namespace

HeldKeyFilter::HeldKeyFilter(QObject* parent) : HeldKeyFilter(xKeyDown, parent) {}

HeldKeyFilter::HeldKeyFilter(KeyDown keyDown, QObject* parent)
    : QObject(parent), m_keyDown(std::move(keyDown))
{
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &HeldKeyFilter::focusMoved);
}

void HeldKeyFilter::focusMoved(const QWidget* old, const QWidget* now)
{
    if (old && now && old->window() == now->window())
        return;
    for (Held& held : m_held)
        held.swallowed = true;
}

// Events reach widgets only: a key event is seen once where the focus is and again at each
// parent it is passed on to, and the rules below give the same answer every time.
bool HeldKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease &&
         type != QEvent::ShortcutOverride) ||
        !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (isUnflaggedRepeat(key, type)) {
        // The repeat goes on in its place, flagged, and meets the rules below as one.
        QKeyEvent repeat(type, key->key(), key->modifiers(), key->nativeScanCode(),
                         key->nativeVirtualKey(), key->nativeModifiers(), key->text(), true,
                         key->count());
        repeat.setTimestamp(key->timestamp());
        QCoreApplication::sendEvent(watched, &repeat);
        key->accept();
        return true;
    }
    if (swallow(static_cast<QWidget*>(watched)->window(), key, type)) {
        key->accept();
        return true;
    }
    return false;
}

bool HeldKeyFilter::isUnflaggedRepeat(const QKeyEvent* key, QEvent::Type type)
{
    if (key->isAutoRepeat())
        return false;
    const auto held = m_held.find(keyId(key));
    if (held == m_held.end())
        return false;
    const auto time = qint64(key->timestamp());
    if (type == QEvent::KeyRelease) {
        if (!m_keyDown(key->nativeScanCode()))
            return false;
        held->pairTime = time;
        return true;
    }
    if (held->pairTime < 0 || std::abs(time - held->pairTime) > PairMs)
        return false;
    if (type == QEvent::KeyPress)
        held->pairTime = -1;
    return true;
}

// A key's own press starts it afresh; its repeats and its release go where its press went, or
// nowhere.
bool HeldKeyFilter::swallow(const QWidget* window, const QKeyEvent* key, QEvent::Type type)
{
    const quint64 id = keyId(key);
    if (!key->isAutoRepeat() && type != QEvent::KeyRelease) {
        if (type == QEvent::KeyPress)
            m_held.insert(id, Held{window, false});
        return false;
    }
    const auto held = m_held.find(id);
    if (held == m_held.end())
        return false;
    if (held->window != window)
        held->swallowed = true;
    const bool swallowed = held->swallowed;
    if (!key->isAutoRepeat())
        m_held.erase(held);
    return swallowed;
}
