#include "GridRowDelegate.h"

#include <QApplication>
#include <QStyle>

QSize CGridRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // The items have no text; measure a line of sample text instead.
    QStyleOptionViewItem sample = option;
    initStyleOption(&sample, index);
    sample.text = QStringLiteral("Xg");
    sample.features |= QStyleOptionViewItem::HasDisplay;
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    return QSize(0, style->sizeFromContents(QStyle::CT_ItemViewItem, &sample, QSize(), widget).height());
}
