#include "common/PaintWatcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

void PaintWatcher::showUntilPainted(QWidget& window, QWidget& painted)
{
    PaintWatcher watcher;
    painted.installEventFilter(&watcher);
    window.show();
    QElapsedTimer waited;
    waited.start();
    // The paint runs inside processEvents, so the wait ends only after it is done.
    while (!watcher.painted && waited.elapsed() < 10000)
        QCoreApplication::processEvents();
    painted.removeEventFilter(&watcher);
    if (!watcher.painted)
        qFatal("%s was never painted", painted.metaObject()->className());
}

bool PaintWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint)
        painted = true;
    return QObject::eventFilter(watched, event);
}
