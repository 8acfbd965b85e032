#pragma once
#include <QStyledItemDelegate>

// Gives every row the height the style uses for one line of text in the view's font.
// The grid paints rows itself, so this delegate only answers the size question.
class CGridRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
