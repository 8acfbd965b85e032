#pragma once
// The Collection view: a search field, the filters and the table of programs. Typing in the
// field searches at once, over every name a program was seen with. The view follows changes
// that others make to the database (veltrix-cli, another window): it looks again when it is
// shown, when the search changes, and every few seconds while it is visible, and changes the
// rows that changed where they are. The marks, tags and renames made in it change its rows in
// memory and can be undone. Reads that can take long run on a thread of their own; the rows
// shown stay until the new ones are there.

#include "Collection.h"
#include "CollectionFilters.h"
#include "CollectionModel.h"
#include "grid/Colorref.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class QUndoStack;
class CCollectionReader;
class CCollectionTable;
struct CViewChanges;
struct CViewRead;

class CCollectionView : public QWidget {
    Q_OBJECT
public:
    explicit CCollectionView(QWidget* parent = nullptr);
    ~CCollectionView() override;

    // Where the view gets the database each time it needs it: null while there is none
    // (the view then says why, with `reason`). The view owns none of it. With `readPath`, the
    // database's file, long reads run on a thread with a connection of their own.
    using CollectionSource = std::function<CCollection*()>;
    void SetCollectionSource(CollectionSource source, const QString& reason = QString(),
                             const std::string& readPath = {});
    // The same for a database that stays.
    void SetCollection(CCollection* collection, const QString& reason = QString(), const std::string& readPath = {});
    CCollection* Collection() const { return m_source ? m_source() : nullptr; }
    // Rows and selection in the list's colours: text, background, and favourites' background.
    void SetColors(COLORREF text, COLORREF back, COLORREF marked);

    // Reads the rows and the filters again, keeping the filter, selection and current row.
    void Refresh();
    // Looks for changes since the view last looked, and shows them; true when there were.
    // While a name is being edited they wait until it is done.
    bool CheckForChanges();
    // Waits until the reads asked for are shown (tests, benchmarks).
    void WaitForReads();

    // The selected programs (with none selected, the current row's), in the table's order.
    std::vector<CollectionId> SelectedIds() const;
    std::vector<CCollectionRow> SelectedPrograms() const;
    // Selects the rows of these programs (those shown) and makes the first one current.
    void SelectIds(const std::vector<CollectionId>& ids);

    // The marks of the selected programs, each an undoable step: the database first, then the
    // rows. False, told through statusMessage, when the database refused it.
    bool SetFavourite(const std::vector<CCollectionRow>& programs, bool favourite);
    bool SetHidden(const std::vector<CCollectionRow>& programs, bool hidden);
    bool ChangeTags(const std::vector<CCollectionRow>& programs, const std::vector<std::string>& added,
                    const std::vector<std::string>& removed);
    bool Rename(CollectionId id, const std::string& name, std::string& error);
    // The view's steps; the window's Undo and Redo follow it while the view has the keyboard.
    QUndoStack* UndoStack() const { return m_undo; }

    // The filter chosen in the list.
    const CCollectionFilter& Filter() const { return m_filter; }
    // The voice mode chosen, or ANY_VOICE_MODE.
    int VoiceMode() const { return m_voiceMode; }
    QLineEdit* SearchField() const { return m_search; }
    QComboBox* FilterBox() const { return m_filterBox; }
    QComboBox* ModeBox() const { return m_modeBox; }
    CCollectionTable* Table() const { return m_table; }
    CCollectionModel* Model() const { return m_model; }
    // How often the view looks for others' changes while it is visible.
    void SetPollInterval(int milliseconds);

    QSize sizeHint() const override;

    // One program's rows before and after a change of its marks, tags or name.
    struct CProgramChange {
        CCollectionRow before;
        CCollectionRow after;
        std::vector<CViewRow> rows;   // its rows when the change was made, to put back
    };
    // Writes each program's state (`after`, or `before` when `undoing`) and shows it.
    bool ApplyChanges(const std::vector<CProgramChange>& changes, bool undoing, std::string& error);

signals:
    // Enter or a double-click on a row.
    void auditionRequested();
    void selectionChanged();
    // A note for the status bar (a refused rename, a database error).
    void statusMessage(const QString& text);
    // The view changed the database itself (a mark, a tag, a rename, an undo of one).
    void changedCollection();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Ctrl+A is the view's while the focus is in it: it selects every row (in the search
    // field, its text), not the window's Audition.
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What the rows shown were read for: a new one means new rows, the same one a change.
    struct CShownKey {
        CCollectionFilter filter;
        int voiceMode = ANY_VOICE_MODE;
        bool operator==(const CShownKey& other) const
        {
            return filter.SameAs(other.filter) && voiceMode == other.voiceMode;
        }
    };

    void OnSearchChanged();
    void OnFilterChosen(int index);
    void OnModeChosen(int index);
    void OnEditorClosed();
    void OnSortChanged();
    // Takes the window's connection's change count as seen; true when it moved.
    bool TakeChangeCount();
    // Asks for the rows of the filter, the voice mode and the text (and the filters, with
    // `filtersToo`); shown when they come.
    void Read(bool filtersToo);
    // Asks for the programs named by the search text; shown when they come.
    void ReadNamed();
    // Narrows the rows to the programs `named` by `text` (a read's `failure` is told instead).
    void ShowNamed(std::shared_ptr<const std::vector<CollectionId>> named, const std::string& failure,
                   std::uint64_t ticket, const std::string& text);
    // `text`: the search text the rows were read with.
    void ShowRead(CViewRead read, CShownKey key, std::uint64_t ticket, const std::string& text);
    // The first rows of a Read, with how many there are: shown while the rest are read.
    void ShowFirstRows(CViewRead read, CShownKey key, std::uint64_t ticket, const std::string& text);
    // Asks for what changed since the rows were read; shown when it comes.
    void ReadChanged();
    void ShowChanges(CViewChanges changes, std::uint64_t ticket, const std::string& text);
    void ShowFilters(std::vector<CCollectionFilter> filters);
    // Runs `show` now, or once the name being edited is done.
    void WhenNotEditing(std::function<void()> show);
    bool Editing() const;
    // Runs `change` on the model, keeping the selection and the current row where their
    // programs are still shown.
    void KeepingSelection(const std::function<void()>& change);
    // Runs `change` on the model, keeping the top row where it is.
    void KeepingTopRow(const std::function<void()>& change);
    void ShowState();
    void SizeColumns();
    void ShowSlotColumn(bool bySlot);
    // After the view wrote to the database: its own change is not one to read again.
    void NoteOwnChange(std::int64_t countBefore, std::int64_t lastBefore);
    bool WriteState(CCollection& collection, const CCollectionRow& from, const CCollectionRow& to,
                    std::string& error);
    bool PushChange(const QString& text, std::vector<CProgramChange> changes);

    CollectionSource m_source;
    bool m_available = false;   // whether the database was there when last asked for
    QString m_reason;
    std::int64_t m_changeCount = -1;   // the window's connection's, when last looked
    std::int64_t m_lastChange = -1;    // the change log's newest change the rows hold
    bool m_rowsPending = false;        // a read of every row is on its way...
    int m_pendingSortColumn = CCollectionModel::NAME;   // ...in this order
    Qt::SortOrder m_pendingSortOrder = Qt::AscendingOrder;
    std::vector<CCollectionFilter> m_filters;
    CCollectionFilter m_filter;
    int m_voiceMode = ANY_VOICE_MODE;
    CShownKey m_shownKey;              // of the rows in the model
    bool m_shownAny = false;           // rows were shown since the database was set
    std::uint64_t m_readTicket = 0;    // the latest read of rows asked for
    std::uint64_t m_namedTicket = 0;   // the latest read of names asked for
    std::vector<std::function<void()>> m_held;   // what came while a name was edited
    bool m_checkAfterEdit = false;
    bool m_columnsSized = false;

    QLineEdit* m_search;
    QComboBox* m_filterBox;
    QComboBox* m_modeBox;
    CCollectionTable* m_table;
    CCollectionModel* m_model;
    QLabel* m_hint;
    QLabel* m_count;
    QTimer* m_poll;
    CCollectionReader* m_reader;
    QUndoStack* m_undo;
    std::string m_narrowedText;        // what the rows shown hold...
    bool m_narrowKnown = false;        // ...when known
};
