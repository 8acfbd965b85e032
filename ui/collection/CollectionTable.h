#pragma once
// The Collection view's table of programs: whole rows selected, Enter asks for an audition,
// F2 edits the name in place, and the selected rows can be dragged out as the list's rows
// can (what a drag carries is left to the owner).

#include <QTableView>

#include <functional>

class QMimeData;

class CCollectionTable : public QTableView {
    Q_OBJECT
public:
    explicit CCollectionTable(QWidget* parent = nullptr);

    // Builds what a drag of the selected rows carries (null: no drag).
    void SetDragSource(std::function<QMimeData*()> makeMimeData) { m_makeMimeData = std::move(makeMimeData); }
    // What a drag of the selected rows carries now; null without a drag source. The caller owns it.
    QMimeData* CreateDragData() const { return m_makeMimeData ? m_makeMimeData() : nullptr; }
    // Starts editing the current row's name; false when there is no row or it cannot be renamed.
    bool EditName();

signals:
    // Enter, Return or a double-click on a row.
    void activatedRow(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    std::function<QMimeData*()> m_makeMimeData;
};
