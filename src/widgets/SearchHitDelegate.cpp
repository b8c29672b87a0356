#include "widgets/SearchHitDelegate.h"

#include <QPainter>

namespace {
constexpr int Margin = 2;
}

SearchHitDelegate::SearchHitDelegate(QColor markColour, QObject* parent)
    : QStyledItemDelegate(parent), m_markColour(markColour)
{
}

QSize SearchHitDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {option.rect.width(), 2 * option.fontMetrics.height() + 2 * Margin};
}

void SearchHitDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QRect area = option.rect.adjusted(Margin, Margin, -Margin, -Margin);
    painter->save();
    painter->setClipRect(option.rect);
    if (selected)
        painter->fillRect(option.rect, option.palette.highlight());
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    QFont plain = option.font;
    QFont bold = plain;
    bold.setBold(true);
    const QFontMetrics plainMetrics(plain);
    const QFontMetrics boldMetrics(bold);

    const QString heading = index.data(Qt::DisplayRole).toString();
    int baseline = area.top() + plainMetrics.ascent();
    painter->setFont(plain);
    painter->drawText(area.left(), baseline,
                      plainMetrics.elidedText(heading, Qt::ElideRight, area.width()));

    // The second line: the text before the match is shortened from the left so that the match
    // stays in view, then the match, then as much as fits after it.
    const QString line = index.data(LineRole).toString();
    const int start = index.data(MarkStartRole).toInt();
    const int length = start < 0 ? 0 : index.data(MarkLengthRole).toInt();
    const QString before = start < 0 ? line : line.left(start);
    const QString mark = line.mid(start, length);
    const QString after = start < 0 ? QString() : line.mid(start + length);
    baseline += plainMetrics.height();
    int x = area.left();
    const QString shownBefore =
        plainMetrics.elidedText(before, start < 0 ? Qt::ElideRight : Qt::ElideLeft,
                                start < 0 ? area.width() : area.width() / 3);
    painter->drawText(x, baseline, shownBefore);
    x += plainMetrics.horizontalAdvance(shownBefore);
    if (!mark.isEmpty()) {
        const int markWidth = boldMetrics.horizontalAdvance(mark);
        painter->fillRect(
            QRect(x, baseline - boldMetrics.ascent(), markWidth, boldMetrics.height()),
            m_markColour);
        painter->setFont(bold);
        painter->drawText(x, baseline, mark);
        x += markWidth;
        painter->setFont(plain);
        painter->drawText(
            x, baseline,
            plainMetrics.elidedText(after, Qt::ElideRight, std::max(0, area.right() - x)));
    }
    painter->restore();
}
