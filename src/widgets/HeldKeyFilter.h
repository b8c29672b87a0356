#pragma once

#include <QEvent>
#include <QHash>
#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

// A key held down while the window it went to closes must not reach the window that takes its
// place: its repeats would type into a day the user never meant to touch. The X server repeats a
// held key as press and release pairs, each flagged as a repeat; the filter remembers the window
// each key went down in and eats the key's repeats, and its final release, once the keyboard
// focus has moved to another window or the key's events start to arrive at another one. A new
// press of the key is the user's again. One filter serves the whole application.
//
// The toolkit tells a repeat from a real release by looking for the pair's press among the
// events already received; on a busy machine that press may not have arrived yet, and a repeat
// passes for a release and a new press. Before a release counts as real, the filter asks whether
// the key is still down; if it is, the release and the press that follows it are repeats, and
// they go on flagged as such.
class HeldKeyFilter : public QObject
{
    Q_OBJECT

public:
    // Whether the key with this native scan code is down at this moment; the default asks the
    // X server, and answers no elsewhere.
    using KeyDown = std::function<bool(quint32 scanCode)>;

    explicit HeldKeyFilter(QObject* parent = nullptr);
    HeldKeyFilter(KeyDown keyDown, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Held
    {
        const QWidget* window = nullptr;
        bool swallowed = false;
        // When a release turned out to be a repeat: the time of the pair's press to come.
        qint64 pairTime = -1;
    };

    bool isUnflaggedRepeat(const QKeyEvent* key, QEvent::Type type);
    bool swallow(const QWidget* window, const QKeyEvent* key, QEvent::Type type);
    void focusMoved(const QWidget* old, const QWidget* now);

    KeyDown m_keyDown;
    QHash<quint64, Held> m_held;
};
