#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// Saves the shown day a moment after typing pauses, by the same rules as a change of day, so that
// a power cut or a lost display takes at most the last moments of typing. A day left as it was
// is not written (the save compares bytes), so a pause without an edit costs nothing.
//
// A failed autosave says nothing: a box popping up while the user types would take the keys
// meant for the text. The next change of day or close saves again and reports the failure there,
// where the text is kept and, at close, written to a recovery file.
class AutoSave : public QObject
{
    Q_OBJECT

public:
    static constexpr int PauseMs = 2000;

    AutoSave(QObject* parent, std::function<void()> save);

    // The text changed: the save waits for the next pause.
    void touched();
    // Nothing is pending any more (the window closes).
    void stop();

private:
    void saveNow();

    std::function<void()> m_save;
    QTimer m_timer;
};
