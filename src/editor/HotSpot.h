#pragma once

#include "editor/KeyDescrList.h"
#include "editor/ShiftJisText.h"

#include <QCursor>
#include <QString>

#include <optional>

// Hot spots: text between two marker characters, painted in their own colour and clickable.
class THotSpot
{
public:
    QChar BeginChar = QChar(30);
    QChar EndChar = QChar(31);
    TColor Color = 16711680;
    TColor MarkerColor = systemWindowColor();
    bool Active = false;
    bool Underlined = true;
    // Shown over a hot spot; the program gives its cursor 1.
    QCursor Cursor = QCursor(Qt::PointingHandCursor);

    void assign(const THotSpot& other) { *this = other; }

    // Adds, for every begin marker with an end marker after it, the two markers and the text
    // between them. A begin marker without an end ends the search.
    void scan(const ShiftJisText& text, int from, TKeyDescrList& list) const;
    // Whether a display line, from the character under the mouse on, puts the mouse over a
    // hot spot: an end marker follows, and no begin marker comes first.
    bool isOver(QStringView rest) const;
    // The hot-spot text of a click on the character at index of a display line: from after the
    // nearest begin marker before it (or the line's start) to before the end marker.
    std::optional<QString> clickedText(const QString& line, int index) const;
};
