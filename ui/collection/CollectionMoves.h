#pragma once
// File > Collection: "Back Up..." writes a copy of the whole Collection to a file, "Restore..."
// puts such a copy in its place (the Collection it replaces is kept), "Merge..." takes
// another Collection in whole. Each runs on a thread of its own with a progress dialog and
// Cancel; one at a time.

#include "services/CommandTable.h"
#include "services/UiServices.h"

#include <QObject>
#include <QString>

#include "CollectionBackup.h"

#include <functional>
#include <memory>
#include <string>

class CCollectionDailyBackup;
class CCollectionService;
class CCollectionTakeIn;
class CCollectionTask;
class ICommandHost;
class QMenu;

class CCollectionMoves : public QObject {
    Q_OBJECT
public:
    // `daily` may be null.
    CCollectionMoves(CCollectionService& service, CCollectionTakeIn& takeIn, CCollectionDailyBackup* daily,
                     ICommandHost& host, const CUiServices& services);
    ~CCollectionMoves() override;

    // File > Collection, for the window's File menu.
    QMenu* Menu() const { return m_menu; }
    QAction* Action(int commandId) const { return m_commands.Find(commandId); }
    // The task under way, or null (tests wait on it).
    CCollectionTask* Task() const { return m_task.get(); }

    void OnCollectionBackUp();
    void OnCollectionRestore();
    void OnCollectionMerge();

private:
    using Work = std::function<CollectionCopyOutcome(const CCollectionProgress&, std::string&)>;
    using Done = std::function<void(CollectionCopyOutcome, const QString&)>;
    // Runs `work` with the progress dialog; `done` tells how it ended.
    void Run(const QString& label, Work work, Done done);
    bool IsBusy() const;
    void Say(const QString& text);
    void Fail(const QString& text);

    CCollectionService& m_service;
    CCollectionTakeIn& m_takeIn;
    CCollectionDailyBackup* m_daily;
    ICommandHost& m_host;
    CUiServices m_services;
    CCommandTable m_commands;
    QMenu* m_menu;
    std::unique_ptr<CCollectionTask> m_task;
};
