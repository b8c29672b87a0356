#include "editor/ColorMemo.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

TColorMemo::TColorMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(false);
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
        const LineWrapMode mode = lineWrapMode();
        self->setLineWrapMode(mode == NoWrap ? WidgetWidth : NoWrap);
        self->setLineWrapMode(mode);
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
    return verticalScrollBar()->value();
}

int TColorMemo::VisibleLineCount() const
{
    const int h = fontMetrics().height();
    if (h <= 0 || height() / h == 0)
        return 0;
    layoutDocument();
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
            if (y + h >= bottom)
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
