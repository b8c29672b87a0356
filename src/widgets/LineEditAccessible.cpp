#include "widgets/LineEditAccessible.h"

#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace {
QAccessibleInterface* makeLineEditAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("QLineEdit"))
        return new LineEditAccessible(static_cast<QLineEdit*>(object));
    return nullptr;
}

// Where the segments of a kind start in text, and where the text ends.
QList<int> boundaries(const QString& text, QAccessible::TextBoundaryType type)
{
    QList<int> at{0};
    QTextBoundaryFinder::BoundaryType finderType = QTextBoundaryFinder::Grapheme;
    switch (type) {
    case QAccessible::CharBoundary:
        break;
    case QAccessible::WordBoundary:
        finderType = QTextBoundaryFinder::Word;
        break;
    case QAccessible::SentenceBoundary:
        finderType = QTextBoundaryFinder::Sentence;
        break;
    default:
        // A single-line field is one line and one paragraph.
        if (!text.isEmpty())
            at << int(text.size());
        return at;
    }
    QTextBoundaryFinder finder(finderType, text);
    // Past the end the finder answers -1.
    for (int next = int(finder.toNextBoundary()); next > 0; next = int(finder.toNextBoundary())) {
        // A word runs to the start of the next one, the spaces after it included.
        if (type != QAccessible::WordBoundary || next == text.size() ||
            (finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem))
            at << next;
    }
    return at;
}
} // namespace

LineEditAccessible::LineEditAccessible(QLineEdit* edit)
    : QAccessibleWidget(edit, QAccessible::EditableText)
{
}

void LineEditAccessible::install()
{
    QAccessible::installFactory(makeLineEditAccessible);
}

QLineEdit* LineEditAccessible::lineEdit() const
{
    return static_cast<QLineEdit*>(widget());
}

QString LineEditAccessible::readable() const
{
    switch (lineEdit()->echoMode()) {
    case QLineEdit::Normal:
        return lineEdit()->text();
    case QLineEdit::NoEcho:
        return QString();
    default:
        return QString(lineEdit()->text().size(), u'*');
    }
}

QString LineEditAccessible::text(QAccessible::Text t) const
{
    QString text = t == QAccessible::Value ? readable() : QString();
    if (text.isEmpty())
        text = QAccessibleWidget::text(t);
    if (text.isEmpty() && t == QAccessible::Description)
        text = lineEdit()->placeholderText();
    return text;
}

void LineEditAccessible::setText(QAccessible::Text t, const QString& text)
{
    if (t == QAccessible::Value)
        lineEdit()->setText(text);
    else
        QAccessibleWidget::setText(t, text);
}

QAccessible::State LineEditAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = lineEdit()->isReadOnly();
    state.editable = !state.readOnly;
    state.passwordEdit = lineEdit()->echoMode() != QLineEdit::Normal;
    state.selectableText = true;
    return state;
}

void* LineEditAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

void LineEditAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !lineEdit()->hasSelectedText())
        return;
    *startOffset = lineEdit()->selectionStart();
    *endOffset = lineEdit()->selectionEnd();
}

int LineEditAccessible::selectionCount() const
{
    return lineEdit()->hasSelectedText() ? 1 : 0;
}

void LineEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void LineEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        lineEdit()->deselect();
}

void LineEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        lineEdit()->setSelection(startOffset, endOffset - startOffset);
}

int LineEditAccessible::cursorPosition() const
{
    return lineEdit()->cursorPosition();
}

void LineEditAccessible::setCursorPosition(int position)
{
    lineEdit()->setCursorPosition(position);
}

QString LineEditAccessible::text(int startOffset, int endOffset) const
{
    if (startOffset < 0 || startOffset > endOffset)
        return QString();
    return readable().mid(startOffset, endOffset - startOffset);
}

QString LineEditAccessible::segment(int offset, QAccessible::TextBoundaryType boundaryType,
                                    int step, int* startOffset, int* endOffset) const
{
    const QString shown = readable();
    const int length = int(shown.size());
    if (offset == -2)
        offset = cursorPosition();
    else if (offset == -1)
        offset = length;
    *startOffset = *endOffset = -1;
    if (offset < 0 || offset > length)
        return QString();
    const QList<int> at = boundaries(shown, boundaryType);
    qsizetype index = std::upper_bound(at.cbegin(), at.cend(), offset) - at.cbegin() - 1;
    // At the end of the text stands the last segment, but no character.
    if (offset == length && boundaryType != QAccessible::CharBoundary)
        index = at.size() - 2;
    index += step;
    if (index < 0 || index + 1 >= at.size()) {
        *startOffset = *endOffset = step < 0 ? 0 : length;
        return QString();
    }
    *startOffset = at[index];
    *endOffset = at[index + 1];
    return shown.mid(*startOffset, *endOffset - *startOffset);
}

QString LineEditAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const
{
    return segment(offset, boundaryType, -1, startOffset, endOffset);
}

QString LineEditAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const
{
    return segment(offset, boundaryType, 1, startOffset, endOffset);
}

QString LineEditAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int* startOffset, int* endOffset) const
{
    return segment(offset, boundaryType, 0, startOffset, endOffset);
}

int LineEditAccessible::characterCount() const
{
    return int(readable().size());
}

// The cursor's rectangle tells how far the text is scrolled.
QRect LineEditAccessible::characterRect(int offset) const
{
    const QString shown = lineEdit()->displayText();
    if (offset < 0 || offset >= shown.size())
        return QRect();
    const QFontMetrics metrics(lineEdit()->font());
    const QRect cursor = lineEdit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int x = cursor.x() + metrics.horizontalAdvance(shown.left(offset)) -
                  metrics.horizontalAdvance(shown.left(lineEdit()->cursorPosition()));
    const QRect character(x, cursor.y(), metrics.horizontalAdvance(shown.mid(offset, 1)),
                          metrics.height());
    return QRect(lineEdit()->mapToGlobal(character.topLeft()), character.size());
}

int LineEditAccessible::offsetAtPoint(const QPoint& point) const
{
    return lineEdit()->cursorPositionAt(lineEdit()->mapFromGlobal(point));
}

void LineEditAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    lineEdit()->setCursorPosition(endIndex);
    lineEdit()->setCursorPosition(startIndex);
}

// A line edit has no text attributes.
QString LineEditAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = offset;
    return QString();
}

void LineEditAccessible::deleteText(int startOffset, int endOffset)
{
    lineEdit()->setText(lineEdit()->text().remove(startOffset, endOffset - startOffset));
}

void LineEditAccessible::insertText(int offset, const QString& text)
{
    lineEdit()->setText(lineEdit()->text().insert(offset, text));
}

void LineEditAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    lineEdit()->setText(lineEdit()->text().replace(startOffset, endOffset - startOffset, text));
}
