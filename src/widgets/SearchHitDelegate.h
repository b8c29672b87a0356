#pragma once

#include <QStyledItemDelegate>

// Draws one search result in two lines: the item's text (date line and title), then the line
// the match stands in with the match itself in bold on a marked background. The matching line
// and where the match lies come from the item's data roles below.
class SearchHitDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum Role
    {
        DateRole = Qt::UserRole,
        LineRole,
        MarkStartRole,
        MarkLengthRole,
    };

    SearchHitDelegate(QColor markColour, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QColor m_markColour;
};
