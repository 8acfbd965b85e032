#pragma once
// Lays the Program Editor's groups out in as many columns as the width holds, each group
// below the shortest column so far, in the order added; a wide group (a mod sequencer)
// takes a row of its own across all columns.

#include <QLayout>
#include <QList>

class CColumnsLayout : public QLayout {
public:
    explicit CColumnsLayout(QWidget* parent = nullptr);
    ~CColumnsLayout() override;

    void addItem(QLayoutItem* item) override;
    // A widget that spans every column.
    void AddWide(QWidget* widget);

    int count() const override { return static_cast<int>(m_items.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    void setGeometry(const QRect& rect) override;
    void invalidate() override;

private:
    struct Item {
        QLayoutItem* item;
        bool wide;
    };
    // Places the items in `width` (only measuring when `apply` is false); returns the height.
    int Arrange(const QRect& rect, bool apply) const;
    int ColumnWidth() const;

    QList<Item> m_items;
    mutable int m_cachedWidth = -1;
    mutable int m_cachedHeight = 0;
};
