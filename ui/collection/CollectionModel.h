#pragma once
// The Collection view's table: one row per program of the chosen filter, narrowed to the
// programs whose names hold the search text. All rows of the filter are kept, so that a
// keystroke narrows them in memory; a refill is one reset however many programs there are,
// and texts are made only for the rows the view paints.

#include "Collection.h"
#include "grid/Colorref.h"

#include <QAbstractTableModel>

#include <functional>
#include <vector>

class CCollectionModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NAME, MODE, FAVOURITE, TAGS, SOURCES, FIRST_SEEN, COLUMN_COUNT };

    // Writes a new name to the database: false, with a text, when it was refused.
    using Renamer = std::function<bool(CollectionId id, const std::string& name, std::string& error)>;

    explicit CCollectionModel(QObject* parent = nullptr);

    // The rows as a search returned them (ordered by name, case ignored, then id), all shown;
    // they are sorted again by the column last asked for.
    void SetPrograms(std::vector<CCollectionRow> programs);
    // Shows only the rows of the programs in `ids` (ascending, as ProgramsNamed gives them), or
    // all of them for null, in the same order.
    void Narrow(const std::vector<CollectionId>* ids);
    const CCollectionRow* Program(int row) const;
    int RowOf(CollectionId id) const;

    // Text and background of every row, and the background of favourites: the list's colours.
    void SetColors(COLORREF text, COLORREF back, COLORREF marked);
    // Makes the name editable in place (F2); without one it is read-only.
    void SetRenamer(Renamer renamer) { m_renamer = std::move(renamer); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order) override;

signals:
    // A rename was refused by the database, with its text.
    void renameFailed(const QString& text);

private:
    CCollectionRow* ShownRow(int row);
    // Sorts all rows by the column and order asked for; returns each one's new place.
    std::vector<int> SortRows();

    std::vector<CCollectionRow> m_programs;   // all of the filter's, in the table's order
    std::vector<int> m_shown;                 // the places in m_programs of the rows shown
    CollectionId m_largestId = 0;
    int m_sortColumn = NAME;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    COLORREF m_text = RGB(0, 0, 0);
    COLORREF m_back = RGB(255, 255, 255);
    COLORREF m_marked = RGB(255, 255, 255);
    Renamer m_renamer;
};

// Whether a name can be given to a program: 1 to 12 printable ASCII characters.
bool IsValidProgramName(const QString& name);
