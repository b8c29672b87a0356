#pragma once

#include <QHash>
#include <QList>
#include <QObject>

class QAction;
class QKeyEvent;
class QWidget;

// A window's shortcuts: Ctrl with a key runs a menu command. The window sees a key before the
// control that has the focus, and each keystroke is judged once, where it is first delivered.
class ShortcutKeys : public QObject
{
    Q_OBJECT

public:
    // Watches window and the controls in it; keys maps a key pressed with Ctrl alone to the
    // command it runs.
    ShortcutKeys(QWidget* window, const QList<QWidget*>& controls, QHash<int, QAction*> keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* action(const QKeyEvent* event) const;
    bool keyUp(const QKeyEvent* event) const;

    QWidget* m_window;
    QHash<int, QAction*> m_keys;
};
