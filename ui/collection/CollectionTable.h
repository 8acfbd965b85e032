#pragma once
// The Collection view's table of programs: whole rows selected, Enter asks for an audition,
// F2 edits the name in place (taking only what the synthesizer can show, and saying so), Tab
// leaves for the next control, and the selected rows can be dragged out as the list's rows
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
    // Whether a name is being edited.
    bool Editing() const { return state() == QAbstractItemView::EditingState; }
    // How wide the column's texts in sight are.
    int ContentWidth(int column) const { return sizeHintForColumn(column); }
    // Starts editing the current row's name; false when there is no row or it cannot be renamed.
    bool EditName();

signals:
    // Enter, Return or a double-click on a row.
    void activatedRow(int row);
    // A note on the name being edited: how much of it is used, what it cannot hold.
    void nameNote(const QString& text);
    // The name's editor went (the name kept or dropped).
    void editorClosed();

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    std::function<QMimeData*()> m_makeMimeData;
};
