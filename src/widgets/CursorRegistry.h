#pragma once

#include <QCursor>

// The program's cursors 1 to 5, hand cursors made from its own pictures. Cursor 5 is shown
// over the buttons of every window.
class CursorRegistry
{
public:
    static void registerAll();
    static QCursor cursor(int number);
};
