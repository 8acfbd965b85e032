#pragma once
// The Collection view: a search field, the filters and the table of programs. Typing in the
// field searches at once, over every name a program was seen with. The view follows changes
// that others make to the database (veltrix-cli, another window): it looks again when it is
// shown, when the search changes, and every few seconds while it is visible.

#include "Collection.h"
#include "CollectionFilters.h"
#include "grid/Colorref.h"

#include <QWidget>

#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class CCollectionModel;
class CCollectionTable;

class CCollectionView : public QWidget {
    Q_OBJECT
public:
    explicit CCollectionView(QWidget* parent = nullptr);

    // Where the view gets the database each time it needs it: null while there is none
    // (the view then says why, with `reason`). The view owns none of it.
    using CollectionSource = std::function<CCollection*()>;
    void SetCollectionSource(CollectionSource source, const QString& reason = QString());
    // The same for a database that stays.
    void SetCollection(CCollection* collection, const QString& reason = QString());
    CCollection* Collection() const { return m_source ? m_source() : nullptr; }
    // Rows and selection in the list's colours: text, background, and favourites' background.
    void SetColors(COLORREF text, COLORREF back, COLORREF marked);

    // Searches again and refreshes the filters, keeping the filter, selection and current row.
    void Refresh();
    // Refreshes when the database changed since the view last looked; true when it did.
    bool CheckForChanges();

    // The selected programs (with none selected, the current row's), in the table's order.
    std::vector<CollectionId> SelectedIds() const;
    std::vector<CCollectionRow> SelectedPrograms() const;
    // Selects the rows of these programs (those shown) and makes the first one current.
    void SelectIds(const std::vector<CollectionId>& ids);

    // The filter chosen in the list.
    const CCollectionFilter& Filter() const { return m_filter; }
    QLineEdit* SearchField() const { return m_search; }
    QComboBox* FilterBox() const { return m_filterBox; }
    CCollectionTable* Table() const { return m_table; }
    CCollectionModel* Model() const { return m_model; }
    // How often the view looks for others' changes while it is visible.
    void SetPollInterval(int milliseconds);

signals:
    // Enter or a double-click on a row.
    void auditionRequested();
    void selectionChanged();
    // A note for the status bar (a refused rename, a database error).
    void statusMessage(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Ctrl+A is the view's while the focus is in it: it selects every row (in the search
    // field, its text), not the window's Audition.
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnSearchChanged();
    void OnFilterChosen(int index);
    void FillFilters();
    // Reads the filter's rows from the database, then narrows them to the search text.
    void Search();
    // Narrows the rows read last to the search text.
    void NarrowToText();
    // Runs `change` on the model, keeping the selection and the current row where their
    // programs are still shown.
    template <typename Change>
    void KeepingSelection(Change change);
    void ShowState();

    CollectionSource m_source;
    bool m_available = false;   // whether the database was there when last asked for
    QString m_reason;
    std::int64_t m_changeCount = -1;
    std::vector<CCollectionFilter> m_filters;
    CCollectionFilter m_filter;

    QLineEdit* m_search;
    QComboBox* m_filterBox;
    CCollectionTable* m_table;
    CCollectionModel* m_model;
    QLabel* m_hint;
    QLabel* m_count;
    QTimer* m_poll;
    std::vector<CollectionId> m_keptSelection;   // across a sort
    CollectionId m_keptCurrent = 0;
};
