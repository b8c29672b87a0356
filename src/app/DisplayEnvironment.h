#pragma once

#include <QByteArray>
#include <QMap>

// What Qt reads from the environment when the application object is made. The windows are pixel
// designs (bitmaps, fixed positions, window positions in diary.ini), so no desktop scale may
// scale them: no device-pixel scaling and fonts at 96 dots per inch, whatever Xft.dpi or the
// QT_*SCALE* variables say. On a Wayland session a window cannot place itself, so the X11
// platform (XWayland) is taken when it is there and the user has not chosen a platform.
class DisplayEnvironment
{
public:
    // Environment variables by name.
    using Variables = QMap<QByteArray, QByteArray>;

    // env with those settings; platformGiven: -platform was on the command line.
    static Variables adjusted(const Variables& env, bool platformGiven);

    // Makes this process's environment adjusted(); call it before the application object exists.
    static void apply(bool platformGiven);
};
