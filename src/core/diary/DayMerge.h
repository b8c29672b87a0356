#pragma once

#include <QDateTime>
#include <QString>

// How two texts of one day that were saved apart (on two computers kept in step by a sync tool)
// become one without losing either: the user's text, a line that says where the other came
// from, the other text. The line is plain code page 932, so the day file can hold it.
class DayMerge
{
public:
    enum class Kind
    {
        Text,  // the other text is a body
        Title, // the other text is a title that lost to this computer's
    };

    // "――― 別のコンピューターで保存された内容 (2024/01/05 21:30) ―――", with the time the other
    // text was saved, local time.
    static QString separator(Kind kind, const QDateTime& savedAt);

    // Ours, the separator and theirs; a text that already holds the other whole (or an empty
    // other) is kept as it is. A title is added unless it stands on the line below its own
    // separator already: a title may well stand elsewhere in the body.
    static QString join(const QString& ours, const QString& theirs, const QDateTime& savedAt,
                        Kind kind = Kind::Text);

    // The text to save when the file changed on disk after base was read: the side that changed,
    // or both joined when both did.
    static QString resolve(const QString& base, const QString& ours, const QString& theirs,
                           const QDateTime& theirsSavedAt);
};
