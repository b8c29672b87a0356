#pragma once

#include "editor/DrawRules.h"
#include "editor/HotSpot.h"
#include "editor/OverlayRuns.h"
#include "editor/RuleScanner.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <QTextBlock>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

// The body editor. Its line list works on display lines: lines as the editor shows them,
// wrapped at its width, with a final empty line not counted. Offsets (SelStart, SelLength,
// CaretColumn, runs) count bytes of the text in code page 932 with CR LF line breaks.
//
// Over what the edit control paints, an overlay repaints runs in other colours: hot spots,
// and what the colour rules find. An editor with no rules and an inactive hot spot never draws
// an overlay: it looks exactly like the plain edit control.
class TColorMemo : public QPlainTextEdit
{
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using THotSpotClickEvent = std::function<void(QObject* Sender, const QString& SRC)>;
    using TKeyDrawEvent = std::function<void(QPainter& Canvas, const QString& PKey,
                                             const QRect& Rect, TColor KColor)>;

    explicit TColorMemo(QWidget* parent = nullptr);

    // The text with "\n" between lines, exactly as typed: no character is normalised away.
    QString text() const;
    void setText(const QString& text);

    // The line list: the text of every display line, in order, less a final empty one (an
    // empty text has none).
    QStringList lines() const;
    int lineCount() const { return int(lines().size()); }
    QString line(int i) const { return lines().value(i); }
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
    // The display line that holds SelStart, and SelStart's byte offset within that line.
    int CaretLine() const;
    int CaretColumn() const;

    // The selection in bytes: its start (the caret when nothing is selected) and length.
    int SelStart() const;
    void setSelStart(int offset);
    int SelLength() const;
    void setSelLength(int length);

    TDrawRules& ColorRules() { return m_rules; }
    void setColorRules(const TDrawRules& rules) { m_rules.assign(rules); }
    THotSpot& HotSpot() { return m_hotSpot; }
    void setHotSpot(const THotSpot& hotSpot) { m_hotSpot.assign(hotSpot); }
    // Entries of the buffer handed to OnDraw.
    int ColorLimMax() const { return int(m_eventBuffer.size()); }
    void setColorLimMax(int entries);
    // Repaint the whole visible area on every change, with a run over the caret line.
    bool RedrawAlways = false;

    TNotifyEvent OnVScroll;
    TNotifyEvent OnHScroll;
    THotSpotClickEvent OnHotSpotClick;
    TDrawEvent OnDraw;
    TKeyDrawEvent OnDrawKey;

    // Asks for the overlay over the caret line or the whole visible area; returns at once on
    // an editor without rules and with an inactive hot spot.
    virtual void Redraw(QObject* Sender, bool CaretLineOnly);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // One display line on screen: its block, its line in the block's layout, where the layout
    // is drawn.
    struct ScreenLine
    {
        QTextBlock block;
        int index = 0;
        QPointF origin;
        int blockStart = 0; // document positions
        int start = 0;
        int end = 0;
        bool repainted = true; // the repainted area reaches it
    };

    // Lays the whole document out at the editor's real width, also while the window is hidden,
    // so that counting display lines gives what the user will see.
    void layoutDocument() const;
    bool overlayWanted() const;
    void textChangedRedraw();
    void paintOverlay(QPainter& painter, const QRect& area);
    std::vector<ScreenLine> linesToExamine(const QRect& area) const;
    int scanStart(const ScreenLine& first) const;
    QString textBetween(int from, int to) const;
    QRectF cellOf(const ScreenLine& line, int from, int to) const;
    void drawRun(QPainter& painter, const std::vector<ScreenLine>& lines, const QRegion& kept,
                 int from, int to, const TKeyDescr& run);
    // The display line under a point and the index of the character under it in that line.
    std::optional<std::pair<QString, int>> characterAt(const QPoint& point) const;
    void hoverHotSpot(const QPoint& point);

    TDrawRules m_rules;
    THotSpot m_hotSpot;
    std::vector<TKeyDescr> m_eventBuffer;
    OverlayRuns m_overlay;
    int m_lastLineCount = 0;
    int m_lastTextEnd = 0;
    bool m_overHotSpot = false;
    // What the hidden editor's text was last laid out for.
    struct HiddenLayout
    {
        quint64 contents = 0;
        int width = -1;
        QString font;
        bool operator==(const HiddenLayout&) const = default;
    };
    quint64 m_contentsVersion = 1;
    mutable HiddenLayout m_hiddenLayout;
    mutable int m_caretLine = 0;
    mutable int m_caretColumn = 0;
    mutable int m_firstVisibleLine = 0;
};
