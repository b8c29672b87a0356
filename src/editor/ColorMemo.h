#pragma once

#include <QPlainTextEdit>
#include <QStringList>

// The body editor. Its line list works on display lines: lines as the editor shows them,
// wrapped at its width, with a final empty line not counted.
class TColorMemo : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TColorMemo(QWidget* parent = nullptr);

    // The text with "\n" between lines, exactly as typed: no character is normalised away.
    QString text() const;
    void setText(const QString& text);

    // The line list: the text of every display line, in order, less a final empty one (an
    // empty text has none).
    QStringList lines() const;
    // Lines.Add: appends a line; after a final line break no empty line is left between.
    void addLine(const QString& line);

    // The edit control's own count of display lines: a final empty line included, 1 for an
    // empty text.
    int displayLineCount() const;
    // The topmost display line in view, from 0.
    int FirstVisibleLine() const;
    // How many display lines, from the first visible one, fit entirely in the editor; 0 when
    // the editor is lower than one line.
    int VisibleLineCount() const;
    // Scrolls by display lines (negative: toward the top) and by columns of the average
    // character width, as far as the editor can scroll.
    void ScrollLines(int columns, int lines);

private:
    // Lays the whole document out at the editor's real width, also while the window is hidden,
    // so that counting display lines gives what the user will see.
    void layoutDocument() const;
};
