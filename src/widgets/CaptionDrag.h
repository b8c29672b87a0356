#pragma once

#include <QObject>

class QWidget;

// Makes a widget the caption of its borderless window: a left press on it moves the window with
// the mouse, as a caption would. Other presses (the right button's menu) go on to the widget.
class CaptionDrag : public QObject
{
    Q_OBJECT

public:
    // The drag lives as long as the handle.
    static void install(QWidget* handle);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CaptionDrag(QWidget* handle);
};
