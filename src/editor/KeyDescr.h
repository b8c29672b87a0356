#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QtGlobal>

#include <limits>

// A colour as the rules write it: blue in the third byte, red in the low byte.
using TColor = quint32;

inline QColor toQColor(TColor c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

inline TColor fromQColor(const QColor& c)
{
    return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}

// One coloured run. Offsets count bytes of the code page 932 text the painter scans.
struct TKeyDescr
{
    // Marks a free entry (as BegPos) or a run without an end (as EndPos).
    static constexpr qint32 Unset = std::numeric_limits<qint32>::max();
    // Levels above every rule's: hot-spot text and markers, the selection, tab characters.
    static constexpr quint8 HotSpotTextLevel = 252;
    static constexpr quint8 MarkerLevel = 253;
    static constexpr quint8 SelectionLevel = 254;
    static constexpr quint8 TabLevel = 255;

    qint32 BegPos = Unset;
    qint32 EndPos = Unset;
    TColor Color = 0;
    quint8 Level = 0;
    quint8 DrawnByEvent = 0;

    bool operator==(const TKeyDescr&) const = default;
};

// The system's window colour, the default of marker and brush colours (white before the
// application exists).
inline TColor systemWindowColor()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 0xFFFFFF;
    return fromQColor(QGuiApplication::palette().color(QPalette::Base));
}
