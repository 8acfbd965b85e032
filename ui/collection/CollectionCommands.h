#pragma once
// The Collection view in the main window: a dock shown by View > Collection (Ctrl+L), and
// the commands on its selected programs (Program > Collection, the table's context menu and
// keys): Audition, Put in Bank (and dragging onto a bank slot), Show in List, Favourite,
// Hide/Unhide, Tags..., Rename and Export....

#include "Collection.h"
#include "services/CommandTable.h"
#include "services/UiServices.h"

#include <QObject>

#include <functional>
#include <vector>

class QAction;
class QDockWidget;
class QMenu;
class QUndoGroup;
class QUndoStack;
class CCollectionView;
class IBankAccess;
class ICommandHost;
class ILoadedList;
class IMidiLink;

class CCollectionCommands : public QObject {
    Q_OBJECT
public:
    CCollectionCommands(ICommandHost& host, ILoadedList& list, IMidiLink& midi, IBankAccess& bank,
                        const CUiServices& services);

    // Where the view and the commands get the database each time they need it (the window's
    // Collection service); it gives null while there is none. Not owned. With `readPath`, the
    // database's file, the view's long reads run on a thread of their own.
    void SetCollectionSource(std::function<CCollection*()> source, const std::string& readPath = {});
    // Puts the view's undo steps in the window's group: Undo and Redo follow the view while
    // the keyboard is in it.
    void JoinUndo(QUndoGroup& group);
    // The same for a database that stays (tests).
    void SetCollection(CCollection* collection);
    // Looks for what changed in the database (another part of the window changed it).
    void Refresh();

    CCollectionView* View() const { return m_view; }
    QDockWidget* Pane() const { return m_pane; }
    QAction* Action(int commandId) const { return m_commands.Find(commandId); }
    // The table's context menu: commands of others on the view (Open as Bank, Compare...)
    // are added here, after the view's own.
    QMenu* ContextMenu() const { return m_contextMenu; }
    // Program > Collection, for others' commands on the Collection; null without a Program menu.
    QMenu* Menu() const { return m_menu; }

    void OnViewCollection();
    void OnCollectionAudition();
    void OnCollectionPutInBank();
    void OnCollectionShowInList();
    void OnCollectionFavourite();
    void OnCollectionHide();
    void OnCollectionTags();
    void OnCollectionRename();
    void OnCollectionExport();

signals:
    // The window changed the database (a mark, a tag, a rename).
    void collectionChanged();

private:
    void CreateCommands();
    void AddToMenus();
    bool HasSelection() const;
    void SizeFirstPane();
    // The selected programs' bytes, carrying their shown names; `limit` stops early.
    std::vector<CollectionProgramData> SelectedData(std::size_t limit = SIZE_MAX) const;
    void Say(const QString& text);
    CCollection* Db() const;

    ICommandHost& m_host;
    ILoadedList& m_list;
    IMidiLink& m_midi;
    IBankAccess& m_bank;
    CUiServices m_services;
    CCommandTable m_commands;
    QDockWidget* m_pane;
    CCollectionView* m_view;
    QMenu* m_contextMenu;
    QMenu* m_menu = nullptr;
    QUndoStack* m_otherStack = nullptr;   // active before the view took Undo
};
