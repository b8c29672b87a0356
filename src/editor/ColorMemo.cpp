#include "editor/ColorMemo.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QGlyphRun>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <algorithm>

namespace {
constexpr Qt::KeyboardModifiers Modifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

// Page Up, Page Down, End, Home and the four arrows: with a selection they start from its end.
bool movesCaret(int key)
{
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}
} // namespace

TColorMemo::TColorMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(false);
    // Hot spots change the pointer as it passes over them, buttons down or not.
    viewport()->setMouseTracking(true);
    connect(this, &QPlainTextEdit::textChanged, this, &TColorMemo::textChangedRedraw);
    connect(document(), &QTextDocument::contentsChanged, this, [this] { ++m_contentsVersion; });
}

QString TColorMemo::text() const
{
    // toPlainText() would turn no-break spaces into plain ones; the raw text keeps them.
    QString raw = document()->toRawText();
    for (QChar& c : raw) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return raw;
}

void TColorMemo::setText(const QString& text)
{
    setPlainText(text);
}

void TColorMemo::layoutDocument() const
{
    if (!isVisible()) {
        // A hidden editor has not taken its real size yet, and its document is laid out at
        // no width at all: deliver the pending resize, then lay the text out again at the
        // viewport's width, so that counting lines gives what the user will see.
        auto* self = const_cast<TColorMemo*>(this);
        if (testAttribute(Qt::WA_PendingResizeEvent)) {
            QResizeEvent event(size(), QSize());
            QCoreApplication::sendEvent(self, &event);
            self->setAttribute(Qt::WA_PendingResizeEvent, false);
        }
        // Laying the whole text out again is the slow part of start-up: it is done once for
        // each text, width and font.
        const HiddenLayout now{m_contentsVersion, viewport()->width(), font().key()};
        if (now != m_hiddenLayout) {
            const LineWrapMode mode = lineWrapMode();
            self->setLineWrapMode(mode == NoWrap ? WidgetWidth : NoWrap);
            self->setLineWrapMode(mode);
            m_hiddenLayout = now;
        }
    }
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        layout->blockBoundingRect(block);
}

QStringList TColorMemo::lines() const
{
    layoutDocument();
    QStringList result;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        if (layout->lineCount() == 0) {
            result.append(block.text());
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine textLine = layout->lineAt(i);
            result.append(block.text().mid(textLine.textStart(), textLine.textLength()));
        }
    }
    if (!result.isEmpty() && document()->lastBlock().text().isEmpty())
        result.removeLast();
    return result;
}

void TColorMemo::addLine(const QString& line)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (document()->lastBlock().text().isEmpty())
        cursor.insertText(line + QLatin1Char('\n'));
    else
        cursor.insertText(QLatin1Char('\n') + line);
}

int TColorMemo::displayLineCount() const
{
    layoutDocument();
    int count = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        count += qMax(1, block.layout()->lineCount());
    return count;
}

int TColorMemo::FirstVisibleLine() const
{
    layoutDocument();
    m_firstVisibleLine = verticalScrollBar()->value();
    return m_firstVisibleLine;
}

int TColorMemo::VisibleLineCount() const
{
    const int h = fontMetrics().height();
    if (h <= 0 || height() / h == 0)
        return 0;
    layoutDocument();
    // Only lines of the line list count: a final empty line is none.
    const int lineCount = displayLineCount() - (document()->lastBlock().text().isEmpty() ? 1 : 0);
    const int bottom = viewport()->height();
    const QPointF offset = contentOffset();
    int count = 0;
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        const qreal top = blockBoundingGeometry(block).translated(offset).top();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const qreal y = top + layout->lineAt(i).y();
            if (y < 0) // a line of the first block scrolled out above
                continue;
            if (y + h >= bottom || block.firstLineNumber() + i >= lineCount)
                return count;
            ++count;
        }
    }
    return count;
}

void TColorMemo::ScrollLines(int columns, int lines)
{
    layoutDocument();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setValue(vertical->value() + lines);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setValue(horizontal->value() + columns * fontMetrics().averageCharWidth());
}

int TColorMemo::CaretLine() const
{
    layoutDocument();
    const int position = textCursor().selectionStart();
    const QTextBlock block = document()->findBlock(position);
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    m_caretLine = block.firstLineNumber() + (line.isValid() ? line.lineNumber() : 0);
    return m_caretLine;
}

int TColorMemo::CaretColumn() const
{
    layoutDocument();
    const int position = textCursor().selectionStart();
    const QTextBlock block = document()->findBlock(position);
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    const int lineStart = block.position() + (line.isValid() ? line.textStart() : 0);
    m_caretColumn = ShiftJisText(textBetween(lineStart, position)).byteCount();
    return m_caretColumn;
}

int TColorMemo::SelStart() const
{
    return ShiftJisText(textBetween(0, textCursor().selectionStart())).byteCount();
}

void TColorMemo::setSelStart(int offset)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(ShiftJisText(text()).position(offset));
    setTextCursor(cursor);
}

int TColorMemo::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return ShiftJisText(textBetween(cursor.selectionStart(), cursor.selectionEnd())).byteCount();
}

void TColorMemo::setSelLength(int length)
{
    const ShiftJisText all(text());
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(all.position(all.byteOffset(start) + std::max(length, 0)),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void TColorMemo::setColorLimMax(int entries)
{
    entries = std::max(entries, 0);
    if (entries != ColorLimMax())
        m_eventBuffer.assign(size_t(entries), TKeyDescr{0, 0, 0, 0, 0});
}

bool TColorMemo::overlayWanted() const
{
    return isEnabled() && isVisible() && parentWidget() && (!m_rules.isEmpty() || m_hotSpot.Active);
}

void TColorMemo::Redraw(QObject* Sender, bool CaretLineOnly)
{
    Q_UNUSED(Sender)
    if (!overlayWanted())
        return;
    if (CaretLineOnly) {
        const QRect caret = cursorRect();
        viewport()->update(0, caret.top(), viewport()->width(), caret.height());
    } else {
        viewport()->update();
    }
}

// One character typed within the lines (same line count, one character more) repaints only
// the caret's line; any other change the whole visible area.
void TColorMemo::textChangedRedraw()
{
    const int lineCount = document()->lineCount();
    const int textEnd = document()->characterCount() - 1;
    Redraw(this, !RedrawAlways && lineCount == m_lastLineCount && textEnd == m_lastTextEnd + 1);
    m_lastLineCount = lineCount;
    m_lastTextEnd = textEnd;
}

void TColorMemo::keyPressEvent(QKeyEvent* event)
{
    // Tab types a tab character, as people who write expect; Ctrl+Tab and Ctrl+Shift+Tab leave
    // the body, so that the keyboard alone reaches the controls after it.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        (event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::focusNextPrevChild(event->key() == Qt::Key_Tab &&
                                                !(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    if (textCursor().hasSelection() && !(event->modifiers() & Modifiers) &&
        movesCaret(event->key())) {
        QTextCursor cursor = textCursor();
        cursor.setPosition(cursor.selectionEnd());
        setTextCursor(cursor);
        Redraw(this, false);
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TColorMemo::keyReleaseEvent(QKeyEvent* event)
{
    // The release of Shift itself still carries the Shift flag here; a held Shift's repeats
    // are no release.
    if (event->key() == Qt::Key_Shift && !event->isAutoRepeat() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        Redraw(this, false);
    QPlainTextEdit::keyReleaseEvent(event);
}

void TColorMemo::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton &&
        !(event->modifiers() & Modifiers))
        Redraw(this, false);
    QPlainTextEdit::mousePressEvent(event);
}

void TColorMemo::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Redraw(this, false);
    QPlainTextEdit::mouseReleaseEvent(event);
    if (!m_overHotSpot || event->button() != Qt::LeftButton)
        return;
    const auto at = characterAt(event->position().toPoint());
    const std::optional<QString> spot =
        at ? m_hotSpot.clickedText(at->first, at->second) : std::nullopt;
    if (spot && OnHotSpotClick)
        OnHotSpotClick(this, *spot);
}

void TColorMemo::mouseMoveEvent(QMouseEvent* event)
{
    if (m_hotSpot.Active || m_overHotSpot)
        hoverHotSpot(event->position().toPoint());
    QPlainTextEdit::mouseMoveEvent(event);
}

void TColorMemo::hoverHotSpot(const QPoint& point)
{
    const auto at = characterAt(point);
    const bool over =
        m_hotSpot.Active && at && m_hotSpot.isOver(QStringView(at->first).mid(at->second));
    if (over == m_overHotSpot)
        return;
    m_overHotSpot = over;
    viewport()->setCursor(over ? m_hotSpot.Cursor : QCursor(Qt::IBeamCursor));
}

std::optional<std::pair<QString, int>> TColorMemo::characterAt(const QPoint& point) const
{
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF geometry = blockBoundingGeometry(block).translated(offset);
        if (geometry.top() > point.y())
            break;
        const QTextLayout* layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal top = geometry.top() + line.y();
            if (point.y() < top || point.y() >= top + line.height())
                continue;
            const int cursor =
                line.xToCursor(point.x() - geometry.left(), QTextLine::CursorOnCharacter);
            return std::pair{block.text().mid(line.textStart(), line.textLength()),
                             cursor - line.textStart()};
        }
    }
    return std::nullopt;
}

void TColorMemo::scrollContentsBy(int dx, int dy)
{
    QPlainTextEdit::scrollContentsBy(dx, dy);
    if (dy != 0 && OnVScroll)
        OnVScroll(this);
    if (dx != 0 && OnHScroll)
        OnHScroll(this);
    Redraw(this, false);
}

void TColorMemo::paintEvent(QPaintEvent* event)
{
    QPlainTextEdit::paintEvent(event);
    if (!overlayWanted())
        return;
    QPainter painter(viewport());
    paintOverlay(painter, event->rect());
}

// The display lines that lie wholly in the editor, from the top down; a line cut by the bottom
// edge ends them. Those the repainted area reaches are marked.
std::vector<TColorMemo::ScreenLine> TColorMemo::linesToExamine(const QRect& area) const
{
    std::vector<ScreenLine> result;
    const int h = fontMetrics().height();
    const int bottom = viewport()->height();
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF geometry = blockBoundingGeometry(block).translated(offset);
        const QTextLayout* layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal y = geometry.top() + line.y();
            if (y < 0)
                continue;
            if (y + h >= bottom)
                return result;
            const int blockStart = block.position();
            const int start = blockStart + line.textStart();
            const bool repainted = y + line.height() > area.top() && y <= area.bottom();
            result.push_back({block, i, geometry.topLeft(), blockStart, start,
                              start + line.textLength(), repainted});
        }
    }
    return result;
}

// Runs may have opened on lines above: the scan starts as many lines earlier as the first
// rule's runs may span, less one.
int TColorMemo::scanStart(const ScreenLine& first) const
{
    const int lookBack = m_rules.isEmpty() ? 0 : std::max(m_rules[0].KeyMaxHeight - 1, 0);
    QTextBlock block = first.block;
    int index = first.index;
    for (int n = 0; n < lookBack; ++n) {
        if (index > 0) {
            --index;
            continue;
        }
        const QTextBlock previous = block.previous();
        if (!previous.isValid())
            break;
        block = previous;
        index = std::max(block.layout()->lineCount() - 1, 0);
    }
    const QTextLayout* layout = block.layout();
    return block.position() + (index < layout->lineCount() ? layout->lineAt(index).textStart() : 0);
}

QString TColorMemo::textBetween(int from, int to) const
{
    QTextBlock block = document()->findBlock(from);
    QString result = block.text().mid(from - block.position());
    for (block = block.next(); block.isValid() && block.position() <= to; block = block.next())
        result += QLatin1Char('\n') + block.text();
    result.truncate(to - from);
    return result;
}

// The runs are looked for over the whole visible area whatever part of it is repainted: a run
// that opened on a visible line above a repainted band still colours its part of the band.
void TColorMemo::paintOverlay(QPainter& painter, const QRect& area)
{
    const std::vector<ScreenLine> lines = linesToExamine(area);
    if (lines.empty())
        return;
    const int from = scanStart(lines.front());
    const int to = lines.back().end;
    const ShiftJisText text(textBetween(from, to));
    const auto local = [&](int position) {
        return text.byteOffset(std::clamp(position - from, 0, text.length()));
    };

    OverlayRuns::Scan scan;
    scan.text = &text;
    scan.hotSpot = &m_hotSpot;
    scan.rules = &m_rules;
    scan.events = {OnDraw, &m_eventBuffer};
    scan.wantTabs = !tabChangesFocus();
    scan.background = fromQColor(palette().color(QPalette::Base));
    scan.fontColor = fromQColor(palette().color(QPalette::Text));
    const QTextCursor cursor = textCursor();
    if (RedrawAlways) {
        const QTextBlock block = cursor.block();
        const QTextLine line =
            block.layout()->lineForTextPosition(cursor.position() - block.position());
        const int lineStart = block.position() + (line.isValid() ? line.textStart() : 0);
        if (lineStart >= from && cursor.position() <= to) {
            scan.caretLineStart = local(lineStart);
            scan.caret = local(cursor.position());
        }
    }
    const int selectionStart = std::max(cursor.selectionStart(), from);
    const int selectionEnd = std::min(cursor.selectionEnd(), to);
    if (selectionStart < selectionEnd) {
        scan.selStart = local(selectionStart);
        scan.selLength = local(selectionEnd) - scan.selStart;
    }

    // The selection's highlight and the caret keep the edit control's own look, to the pixel.
    QRegion kept;
    if (hasFocus())
        kept += cursorRect();
    for (const ScreenLine& l : lines) {
        const int begin = std::max(selectionStart, l.start);
        const int end = std::min(selectionEnd, l.end);
        if (begin < end)
            kept += cellOf(l, begin, end).toAlignedRect();
    }

    for (const TKeyDescr& run : m_overlay.build(scan)) {
        if (run.Level == TKeyDescr::SelectionLevel || run.Level == TKeyDescr::TabLevel ||
            run.EndPos == TKeyDescr::Unset)
            continue;
        drawRun(painter, lines, kept, from + text.position(run.BegPos),
                from + text.position(run.EndPos) + 1, run);
    }
}

// Where the characters [from, to) of a screen line lie in the viewport.
QRectF TColorMemo::cellOf(const ScreenLine& l, int from, int to) const
{
    const QTextLine line = l.block.layout()->lineAt(l.index);
    const qreal x0 = line.cursorToX(from - l.blockStart);
    const qreal x1 = line.cursorToX(to - l.blockStart);
    return QRectF(l.origin.x() + std::min(x0, x1), l.origin.y() + line.y(), std::abs(x1 - x0),
                  line.height());
}

// Draws the run over the document positions [begin, end) where it crosses the examined lines:
// its cell filled, its glyphs where the edit control put them; what is kept is left alone.
void TColorMemo::drawRun(QPainter& painter, const std::vector<ScreenLine>& lines,
                         const QRegion& kept, int begin, int end, const TKeyDescr& run)
{
    if (end - begin > 1 && document()->characterAt(end - 1) == QChar::ParagraphSeparator)
        --end; // a final line break is not drawn
    const auto single = std::find_if(lines.begin(), lines.end(), [&](const ScreenLine& l) {
        return l.start <= begin && end <= l.end;
    });
    const QColor color = toQColor(run.Color);
    QColor paper = palette().color(QPalette::Base);
    bool underline = false;
    if (single != lines.end()) {
        if (run.DrawnByEvent && OnDrawKey) {
            const QTextLine line = single->block.layout()->lineAt(single->index);
            const QString key = textBetween(begin, end);
            const QRect rect(int(single->origin.x() + line.cursorToX(begin - single->blockStart)),
                             int(single->origin.y() + line.y()),
                             fontMetrics().horizontalAdvance(key), fontMetrics().height());
            painter.save();
            painter.setPen(color);
            OnDrawKey(painter, key, rect, fromQColor(palette().color(QPalette::Text)));
            painter.restore();
            return;
        }
        if (run.Level == TKeyDescr::MarkerLevel)
            paper = color;
        underline = run.Level == TKeyDescr::HotSpotTextLevel && m_hotSpot.Underlined;
    }
    painter.setPen(color);
    for (const ScreenLine& l : lines) {
        const int from = std::max(begin, l.start);
        const int to = std::min(end, l.end);
        if (from >= to || !l.repainted)
            continue;
        const QRectF cell = cellOf(l, from, to);
        painter.setClipRegion(QRegion(cell.toAlignedRect()) - kept);
        painter.fillRect(cell, paper);
        const QTextLine line = l.block.layout()->lineAt(l.index);
        for (QGlyphRun glyphs : line.glyphRuns(from - l.blockStart, to - from)) {
            glyphs.setUnderline(underline);
            painter.drawGlyphRun(l.origin, glyphs);
        }
    }
    painter.setClipping(false);
}
