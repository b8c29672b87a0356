#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// モルナ's comment under a past day: whether a day gets one, and the lines it adds. Loading and
// saving the day is the main window's part.
class Companion
{
public:
    // The line that closes every comment; a body holding it anywhere is never commented again.
    static const QString& marker();
    // True when some line is exactly the marker, nothing before or after it.
    static bool isCommented(const QStringList& lines);
    // The whole decision for one day, given its lines as the body editor shows them (wrapped,
    // the empty line after a final line break not counted) and the local time now: at least two
    // lines, no marker line, and a local time of day of 06:00:00.000 or later.
    static bool qualifies(const QStringList& lines, const QDateTime& localNow);
    // The seed for one comment: the UTC time of day of `utcNow` in milliseconds.
    static quint32 seedFrom(const QDateTime& utcNow);
    // The eight lines appended to the day: a spacer, one phrase of each table in the order
    // When, Who, What, Remark, a spacer, the marker and the signature. Draws four times from the
    // generator's current state; the caller seeds it.
    static QStringList commentBlock(const QString& userName);
};
