#pragma once

#include <QWidget>

// Says a short text through the screen reader, whatever has the focus: an empty, unfocusable
// widget that reads as a notification and shows itself anew for each text, which a reader
// speaks at once. The toolkit has no announcement of its own, and a reader does not speak the
// new name of a window or control it is told of.
class Announcer : public QWidget
{
    Q_OBJECT

public:
    explicit Announcer(QWidget* parent);

    // Spoken only while the window shows.
    void say(const QString& text);
};
