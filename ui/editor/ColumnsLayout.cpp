#include "ColumnsLayout.h"

#include <QWidget>
#include <QWidgetItem>

#include <algorithm>
#include <vector>

CColumnsLayout::CColumnsLayout(QWidget* parent) : QLayout(parent)
{
    setSpacing(6);
}

CColumnsLayout::~CColumnsLayout()
{
    for (const Item& item : m_items)
        delete item.item;
}

void CColumnsLayout::addItem(QLayoutItem* item)
{
    m_items.append({item, false});
    invalidate();
}

void CColumnsLayout::AddWide(QWidget* widget)
{
    addChildWidget(widget);
    m_items.append({new QWidgetItem(widget), true});
    invalidate();
}

QLayoutItem* CColumnsLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items[index].item : nullptr;
}

QLayoutItem* CColumnsLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem* item = m_items.takeAt(index).item;
    invalidate();
    return item;
}

void CColumnsLayout::invalidate()
{
    m_cachedWidth = -1;
    QLayout::invalidate();
}

int CColumnsLayout::ColumnWidth() const
{
    int width = 0;
    for (const Item& item : m_items)
        if (!item.wide && !item.item->isEmpty())
            width = std::max(width, item.item->sizeHint().width());
    return std::max(width, 1);
}

QSize CColumnsLayout::sizeHint() const
{
    // Three columns, as wide as the widest group.
    const QMargins margins = contentsMargins();
    const int width = 3 * ColumnWidth() + 2 * spacing() + margins.left() + margins.right();
    return QSize(width, heightForWidth(width));
}

QSize CColumnsLayout::minimumSize() const
{
    int width = ColumnWidth();
    for (const Item& item : m_items)
        if (item.wide && !item.item->isEmpty())
            width = std::max(width, item.item->minimumSize().width());
    const QMargins margins = contentsMargins();
    width += margins.left() + margins.right();
    return QSize(width, heightForWidth(width));
}

int CColumnsLayout::heightForWidth(int width) const
{
    if (width != m_cachedWidth) {
        m_cachedHeight = Arrange(QRect(0, 0, width, 0), false);
        m_cachedWidth = width;
    }
    return m_cachedHeight;
}

void CColumnsLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int CColumnsLayout::Arrange(const QRect& rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int gap = spacing();
    const int columnWidth = ColumnWidth();
    const int columns = std::max(1, (area.width() + gap) / (columnWidth + gap));
    const int width = (area.width() - (columns - 1) * gap) / columns;
    std::vector<int> bottoms(static_cast<std::size_t>(columns), area.top());
    for (const Item& item : m_items) {
        if (item.item->isEmpty())
            continue;
        if (item.wide) {
            const int top = *std::max_element(bottoms.begin(), bottoms.end());
            const int height = item.item->hasHeightForWidth() ? item.item->heightForWidth(area.width())
                                                              : item.item->sizeHint().height();
            if (apply)
                item.item->setGeometry(QRect(area.left(), top, area.width(), height));
            std::fill(bottoms.begin(), bottoms.end(), top + height + gap);
            continue;
        }
        const auto shortest = std::min_element(bottoms.begin(), bottoms.end());
        const int column = static_cast<int>(shortest - bottoms.begin());
        const int height = item.item->hasHeightForWidth() ? item.item->heightForWidth(width)
                                                          : item.item->sizeHint().height();
        if (apply)
            item.item->setGeometry(QRect(area.left() + column * (width + gap), *shortest, width, height));
        *shortest += height + gap;
    }
    const int bottom = *std::max_element(bottoms.begin(), bottoms.end());
    return bottom - area.top() - (bottom > area.top() ? gap : 0) + contentsMargins().top() + contentsMargins().bottom();
}
