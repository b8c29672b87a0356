#pragma once

#include <QObject>

class QWidget;

// Notes a widget's paint: the moment the user sees it.
class PaintWatcher : public QObject
{
public:
    // Shows the window and returns once `painted` (the window or one of its children) has been
    // painted; stops the program if that never happens.
    static void showUntilPainted(QWidget& window, QWidget& painted);

    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
