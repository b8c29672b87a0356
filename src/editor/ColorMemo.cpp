#include "editor/ColorMemo.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QResizeEvent>
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
