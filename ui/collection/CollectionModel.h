#pragma once
// The Collection view's table: one row per program of the chosen filter (per slot, when the
// filter is a source or a list), narrowed to the programs whose names hold the search text.
// All rows of the filter are kept, so that a keystroke narrows them in memory; a refill is
// one reset however many programs there are, and texts are made only for the rows the view
// paints. What changes later (a mark made in the window, what another process changed)
// changes those rows where they are.

#include "Collection.h"
#include "grid/Colorref.h"

#include <QAbstractTableModel>

#include <functional>
#include <unordered_map>
#include <vector>

// One row of the table: the program, its slot in a source or list (-1 when the rows are
// programs), and whether one of its names holds the search text.
struct CViewRow {
    CCollectionRow program;
    std::int32_t slot = -1;
    bool matchesText = true;
};

// Rows put in a table's order apart from the table (on the reading thread): the column and
// order, each row's key (its program, or its slot) with its place, by key, and which rows
// are shown, so that the window's thread has nothing left to go through.
struct CRowOrder {
    int column = 0;
    Qt::SortOrder order = Qt::AscendingOrder;
    std::vector<std::pair<std::int64_t, int>> keys;
    bool keysMade = false;        // `keys` were made (only a Replace needs them)
    bool shownKnown = false;      // the two below are filled in
    bool allShown = true;         // every row holds the search text
    std::vector<int> shown;       // otherwise the places of those that do
    CollectionId largestId = 0;
};

class CCollectionModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // SLOT is shown first, and only while the rows are slots.
    enum Column { NAME, MODE, FAVOURITE, TAGS, SOURCES, FIRST_SEEN, SLOT, COLUMN_COUNT };

    // Writes a new name to the database: false, with a text, when it was refused.
    using Renamer = std::function<bool(CollectionId id, const std::string& name, std::string& error)>;

    explicit CCollectionModel(QObject* parent = nullptr);

    // The rows as a search returned them (programs by name, case ignored, then id; slots in
    // slot order); they are sorted again by the column last asked for. `bySlot`: the rows are
    // the slots of a source or list.
    void SetRows(std::vector<CViewRow> rows, bool bySlot);
    // The same for rows put in `order` apart (OrderRows); sorted again when the table's order
    // changed meanwhile.
    void SetRows(std::vector<CViewRow> rows, bool bySlot, CRowOrder order);
    void SetPrograms(std::vector<CCollectionRow> programs);
    // The first rows of a filter in the table's order, while the others are read: the table
    // has `total` rows, those after `rows` not read yet (shown empty, with no program) until
    // a SetRows or Replace brings them all. Rows that are not slots, each holding the text.
    void SetFirstRows(std::vector<CViewRow> rows, std::size_t total);
    // How many of the rows after those kept are not read yet.
    int UnreadRows() const { return m_unread; }
    bool HasSlots() const { return m_slots; }
    // Shows only the rows of the programs in `ids` (ascending, as ProgramsNamed gives them), or
    // all of them for null, in the same order.
    // `withinShown`: the programs are among those shown (the text grew), and only the rows
    // shown are looked at. The rows do not move: one layout change, the selection staying.
    void Narrow(const std::vector<CollectionId>* ids, bool withinShown = false);
    // The program of a shown row; null for a row not read yet.
    const CCollectionRow* Program(int row) const;
    // The slot of a shown row, or -1.
    int Slot(int row) const;
    // The first shown row of the program, or -1.
    int RowOf(CollectionId id) const;
    // Every row kept (shown or narrowed out) of the program, given as its rows hold it now:
    // they are looked for where the table's order puts them.
    std::vector<CViewRow> RowsOf(const CCollectionRow& program) const;

    // What programs without a name are shown with: where they were first seen.
    void SetPlaces(const std::vector<CProgramPlace>& places);
    // Programs kept without a name and without a place yet.
    std::vector<CollectionId> NamelessWithoutPlace() const;

    // Changes every kept row of the program (given as its rows hold it now) in place; false
    // when none is kept.
    bool UpdateProgram(const CCollectionRow& program, const std::function<void(CCollectionRow&)>& change);
    // Takes out every row of these programs.
    void RemovePrograms(const std::vector<CollectionId>& ids);
    // Puts rows in: each replaces the rows of its program (its slot's row, for slots) where it
    // is kept, or goes where the order puts it; the rows of `gone` are taken out. Selection and
    // current row follow their rows (one layout change, no reset).
    // `spare`: room for the rows made apart (see SpareRowsFor), used when the rows kept have
    // none left, so that the window's thread never waits for new memory.
    void Merge(std::vector<CViewRow> rows, const std::vector<CollectionId>& gone,
               std::vector<CViewRow> spare = {});
    // How many rows are kept, and how many the kept rows' memory holds.
    std::size_t KeptRows() const { return m_rows.size(); }
    std::size_t KeptCapacity() const { return m_rows.capacity(); }
    // Makes the kept rows these, as Merge does: a row whose program (or slot) is kept stays
    // where it is sorted to, with its selection. With `order` the rows are in that order
    // already (OrderRows), and only the rows the selection stands on are looked up.
    void Replace(std::vector<CViewRow> rows);
    void Replace(std::vector<CViewRow> rows, CRowOrder order);
    int SortColumn() const { return m_sortColumn; }
    Qt::SortOrder SortOrder() const { return m_sortOrder; }

    // Text and background of every row, and the background of favourites: the list's colours.
    void SetColors(COLORREF text, COLORREF back, COLORREF marked);
    // Makes the name editable in place (F2); without one it is read-only.
    void SetRenamer(Renamer renamer) { m_renamer = std::move(renamer); }
    // Where rows no longer kept go to be freed (a thread of their own): freeing a million
    // rows would hold up the window. Without one they are freed at once.
    using Disposer = std::function<void(std::vector<CViewRow> rows)>;
    void SetDisposer(Disposer disposer) { m_disposer = std::move(disposer); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order) override;

    // The text the name column shows for a program: its name, or "(no name)" and where it
    // was first seen.
    QString ShownName(const CCollectionRow& program) const;

signals:
    // A rename was refused, with its text.
    void renameFailed(const QString& text);

private:
    // Sorts all rows by the column and order asked for; returns each one's new place.
    std::vector<int> SortRows();
    void ShowMatching();
    // The place in m_rows of a shown row, and the shown row of a place (-1: not shown).
    std::size_t PlaceOf(int row) const
    {
        return m_allShown ? static_cast<std::size_t>(row) : static_cast<std::size_t>(m_shown[static_cast<std::size_t>(row)]);
    }
    int ShownRowOf(int place) const;
    int ShownCount() const { return static_cast<int>(m_allShown ? m_rows.size() : m_shown.size()); }
    void TakeRows(std::vector<CViewRow> rows, CRowOrder& order);
    void Dispose(std::vector<CViewRow> rows);
    // Emits one layout change around `change` of the kept rows; `newPlaceOf` gives an old
    // row's new place (or -1 for none), asked (before the change) only for the rows
    // persistent indexes stand on.
    // `showMatching`: which rows are shown is worked out after the change (else `change` did).
    void Relayout(const std::function<void()>& change, const std::function<int(int oldPlace)>& newPlaceOf,
                  bool showMatching = true);
    bool Before(const CViewRow& a, const CViewRow& b) const;
    // The places of the program's kept rows, in order.
    std::vector<std::size_t> PlacesOf(const CCollectionRow& program) const;
    // Whether the second would sort where the first is, and be shown as it is.
    bool SamePlace(const CViewRow& a, const CViewRow& b) const;

    std::vector<CViewRow> m_rows;     // all of the filter's, in the table's order
    std::vector<int> m_shown;         // the places in m_rows of the rows shown...
    bool m_allShown = true;           // ...unless every row is (m_shown empty then)
    int m_unread = 0;                 // rows after those shown, not read yet
    CollectionId m_largestId = 0;     // no kept row has a larger one
    bool m_slots = false;
    std::unordered_map<CollectionId, QString> m_places;   // of programs without a name
    int m_sortColumn = NAME;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    COLORREF m_text = RGB(0, 0, 0);
    COLORREF m_back = RGB(255, 255, 255);
    COLORREF m_marked = RGB(255, 255, 255);
    Renamer m_renamer;
    Disposer m_disposer;
};

// Whether `a` comes before `b` in the table sorted by `column`, ascending.
bool RowBefore(const CViewRow& a, const CViewRow& b, int column);
// Sorts rows read in the search's order by `column` and `order` (a table is sorted that way)
// and gives their keys: what Replace needs, made apart from the window's thread.
// `withKeys`: the keys too (a first read does without them).
CRowOrder OrderRows(std::vector<CViewRow>& rows, int column, Qt::SortOrder order, bool bySlot, bool withKeys = true);
// Room for `kept` rows and `incoming` more, its memory touched (made apart, for Merge); empty
// when `capacity` holds them already.
std::vector<CViewRow> SpareRowsFor(std::size_t kept, std::size_t capacity, std::size_t incoming);

// Marks the rows of the programs in `ids` (ascending) as holding the search text, and the
// others not; null marks them all.
void MarkTextMatches(std::vector<CViewRow>& rows, const std::vector<CollectionId>* ids);
// The same for the rows at `places` (all, for null), none with an id above `largest`; gives
// the places of those that hold it, in order.
std::vector<int> MarkTextMatches(std::vector<CViewRow>& rows, const std::vector<int>* places,
                                 const std::vector<CollectionId>& ids, CollectionId largest);

// The most characters a program name holds.
constexpr int PROGRAM_NAME_LENGTH = 12;
// Whether a name can be given to a program: 1 to 12 printable ASCII characters.
bool IsValidProgramName(const QString& name);
// What a refused name is told with: the characters the synthesizer can show.
QString ProgramNameRule();
