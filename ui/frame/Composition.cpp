#include "Composition.h"

#include "MainFrame.h"
#include "Resources.h"
#include "Collection.h"
#include "bank/BankCommands.h"
#include "bank/BankPane.h"
#include "bank/LastBank.h"
#include "collection/CollectionBankCommands.h"
#include "collection/CollectionCommands.h"
#include "collection/CollectionHistoryCommand.h"
#include "collection/CollectionProgramPlace.h"
#include "collection/CollectionSendToSlot.h"
#include "collection/CollectionService.h"
#include "desktop/FileDropTarget.h"
#include "desktop/RecentFiles.h"
#include "desktop/SyxPaths.h"
#include "editor/EditorCommands.h"
#include "desktop/UserGuide.h"
#include "grid/ProgramGrid.h"
#include "parameters/CompareProgramsCommand.h"
#include "parameters/SynthModelSetting.h"
#include "services/CommandTable.h"
#include "synth/ChangedSlotsCommand.h"
#include "synth/FindSynthCommand.h"
#include "synth/MidiPortFollower.h"
#include "synth/SlotWriteCommands.h"
#include "synth/SynthCommands.h"
#include "synth/SynthMemoryTracker.h"

#include "Bank.h"
#include "ProgramParameters.h"
#include "SyxFormat.h"
#include "bank/BankGrid.h"
#include "bank/BankPane.h"
#include "collection/CollectionModel.h"
#include "collection/CollectionTable.h"
#include "collection/CollectionView.h"

#include <QDockWidget>
#include <QItemSelectionModel>
#include <QUndoStack>
#include <QMenu>
#include <QTimer>

#include <memory>
#include <string>

namespace {
// How long the status bar tells why files brought nothing.
constexpr int FILE_NOTE_MS = 10000;

// Whenever `view`'s current row changes while the view is on the screen (where the user
// moves it), the editor follows it with what `fetch` gives: when that row is selected too. A
// view that gets the keyboard without a current row makes its first row current without
// selecting it, which is nobody's choice.
void FollowCurrentRow(CEditorCommands* editor, QAbstractItemView* view, const QString& source,
                      CEditorCommands::ProgramFetch fetch)
{
    const CEditorCommands::ProgramFetch selected = [view, fetch](CBank::ProgramData& data, QString& title) {
        const QModelIndex current = view->currentIndex();
        return current.isValid() && view->selectionModel()->isRowSelected(current.row(), current.parent())
               && fetch(data, title);
    };
    const auto follow = [editor, view, source, selected] {
        if (view->isVisible())
            editor->FollowSelection(selected, source);
    };
    // The row made current, or the current row selected (a click on the row the keyboard
    // made current).
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, editor, follow);
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, editor, follow);
}

// The Program Editor: it shows the program selected last in the list, the bank or the
// Collection, keeps edited programs in the Collection, and shares Undo with the bank.
CEditorCommands* ComposeEditor(CMainFrame& frame, const CWindowFeatures& features, const CUiServices& services,
                               IMidiInService* midiIn)
{
    auto* editor = new CEditorCommands(frame, frame, midiIn, features.bank, services);
    CMainFrame* window = &frame;
    const auto listRow = [window](CBank::ProgramData& data, QString& title) {
        const CSyxProgram* program = window->Programs().GetAt(window->Grid()->currentIndex().row());
        if (program == nullptr || program->GetLength() != PROGRAM_DATA_SIZE)
            return false;
        std::copy(program->GetData(), program->GetData() + PROGRAM_DATA_SIZE, data.begin());
        title = QString::fromStdString(program->GetBankText() + ' ' + program->GetNumberText() + ' '
                                       + program->GetName() + ", " + program->GetFileName());
        return true;
    };
    FollowCurrentRow(editor, frame.Grid(), "list", listRow);
    if (CBankCommands* bank = features.bank) {
        editor->SetUndoGroup(bank->UndoGroup());
        const auto slot = [bank](CBank::ProgramData& data, QString& title) {
            const int selected = bank->SelectedSlot();
            if (selected < 0 || bank->Bank() == nullptr)
                return false;
            data = bank->Bank()->GetProgram(selected);
            title = QString("Bank %1 %2").arg(QString::fromStdString(CBank::SlotName(selected)),
                                              QString::fromStdString(ProgramNameText(data.data())).trimmed());
            return true;
        };
        FollowCurrentRow(editor, bank->Pane()->Grid(), "bank", slot);
        // A change to the bank reaches the editor when it shows the bank's slot.
        QObject::connect(bank->Pane()->UndoStack(), &QUndoStack::indexChanged, editor,
                         [editor, slot] { editor->FollowSelection(slot, "bank", true); });
        // A program chosen on the synthesizer is named from its memory as Veltrix knows it, and
        // selected in the bank when the bank is the synthesizer's.
        editor->SetSynthMemory(features.synthMemory, [bank](int selected) { bank->Pane()->SelectSlot(selected); });
    }
    if (features.synth != nullptr)
        features.synth->WhenReceived([editor](const std::vector<unsigned char>& dump) { editor->NoteReceivedDump(dump); });
    editor->SetSlotWriter(features.slotWrites);
    if (features.synthModel != nullptr)
        editor->SetModelSetting(*features.synthModel);
    if (CCollectionService* service = features.collection.service) {
        editor->SetKeeper([service](const CBank::ProgramData& program, QString& error) {
            CCollection* collection = service->Collection();
            if (collection == nullptr) {
                error = "The Collection cannot be used.";
                return false;
            }
            const std::vector<unsigned char> dump =
                BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, program.data(), PROGRAM_DATA_SIZE);
            CImportResult result;
            std::string reason;
            if (!collection->ImportEditedProgram(dump, result, reason)) {
                error = QString::fromStdString(reason);
                return false;
            }
            service->NotifyChanged();
            return true;
        });
        if (CCollectionCommands* view = features.collectionView) {
            FollowCurrentRow(editor, view->View()->Table(), "collection",
                             [view](CBank::ProgramData& data, QString& title) {
                const CCollectionRow* row = view->View()->Model()->Program(view->View()->Table()->currentIndex().row());
                CCollection* collection = view->View()->Collection();
                CollectionProgramData bytes;
                if (row == nullptr || collection == nullptr || !collection->ProgramData(row->id, bytes))
                    return false;
                std::copy(bytes.begin(), bytes.end(), data.begin());
                title = QString("Collection: %1").arg(QString::fromStdString(row->shownName));
                return true;
            });
        }
    }
    return editor;
}
}  // namespace

CWindowFeatures ComposeWindow(CMainFrame& frame, const CUiServices& services, IMidiInService* midiIn,
                              IMidiPortWatcher* portWatcher)
{
    CWindowFeatures features;
    // Drops and Recent Files may bring many files: one box names all that cannot be read.
    const auto open = [&frame](const QStringList& paths) {
        frame.OpenFiles(paths, ILoadedList::ReadFailures::OneBoxAtEnd);
    };
    const auto note = [&frame](const QString& text) { frame.ShowStatusMessage(text, FILE_NOTE_MS); };

    // File > Recent Files, in a group of its own above Exit (the bank's commands follow).
    features.recentFiles = new CRecentFiles(&frame, *services.profile, open, note);
    InsertGroupAbove(*frame.Menu(HostMenu::File), frame.Action(ID_APP_EXIT),
                     {features.recentFiles->Menu()->menuAction()});
    CRecentFiles* recent = features.recentFiles;
    frame.WhenFilesRead([recent](const QStringList& paths) { recent->Add(paths); });

    features.bank = new CBankCommands(frame, frame, frame, services);

    features.drops = new CFileDropTarget(&frame, open, note);
    features.drops->Watch(&frame, true);
    features.drops->Watch(frame.Grid()->viewport(), false);
    // A floating pane is a window of its own: it takes drops as the window does.
    for (QDockWidget* pane : frame.findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly))
        features.drops->Watch(pane, true);

    if (midiIn != nullptr) {
        features.synth = new CSynthCommands(frame, frame, frame, features.bank, services, *midiIn);
        // What the synthesizer holds follows every receive, bank sent and slot written.
        CSynthMemoryTracker* memory = features.synthMemory = new CSynthMemoryTracker(features.bank, &frame);
        features.synth->WhenReceived([memory](const std::vector<unsigned char>& dump) { memory->OnDumpReceived(dump); });
        features.synth->WhenBankSent([memory](const CBank& bank) { memory->OnBankSent(bank); });
        features.findSynth = new CFindSynthCommand(frame, frame, *features.synth, *midiIn, services);
        features.slotWrites = new CSlotWriteCommands(frame, frame, features.bank, *features.synth, *memory, services);
        features.changedSlots = new CChangedSlotsCommand(frame, *features.bank, *features.synth, *memory, services);
    }
    if (portWatcher != nullptr)
        features.portFollower = new CMidiPortFollower(frame, &frame, *portWatcher, services);

    // The Collection takes in what is opened and received, and keeps banks as lists.
    features.collection = ComposeCollection(frame, frame, features.bank, services);
    if (features.synth != nullptr)
        TakeInReceives(features.collection, *features.synth);
    TakeInBankFiles(features.collection, *features.bank);

    // The Collection view, on the window's handle on the database; it looks again whenever
    // the window changed the Collection, and tells when it changed it itself.
    features.collectionView = new CCollectionCommands(frame, frame, frame, *features.bank, services);

    // View > Synthesizer, and Compare Programs... on the last two programs selected anywhere.
    features.synthModel = new CSynthModelSetting(frame, *services.profile);
    features.comparePrograms = new CCompareProgramsCommand(frame, *features.synthModel);
    features.comparePrograms->AddPlace(ListPlace(frame));
    features.comparePrograms->AddPlace(BankPlace(*features.bank, features.bank->Pane()));
    features.comparePrograms->AddPlace(CollectionProgramPlace(*features.collectionView->View()));
    frame.Grid()->addAction(features.comparePrograms->Action());
    features.bank->AddSlotCommand(features.comparePrograms->Action());
    features.collectionView->ContextMenu()->addAction(features.comparePrograms->Action());
    features.collectionView->JoinUndo(*features.bank->UndoGroup());
    if (CCollectionService* service = features.collection.service) {
        features.collectionView->SetCollectionSource([service] { return service->Collection(); }, service->Path());
        QObject::connect(service, &CCollectionService::changed, features.collectionView, &CCollectionCommands::Refresh);
        QObject::connect(features.collectionView, &CCollectionCommands::collectionChanged, service,
                         &CCollectionService::NotifyChanged);
        // The History of banks sends one back as Send Bank to Synth sends the bank.
        features.collectionHistory = new CCollectionHistoryCommand(frame, *service, *features.collectionView,
                                                                   features.bank, features.synth,
                                                                   features.synthModel, *services.messageBox);
        if (features.slotWrites != nullptr)
            features.collectionSendToSlot =
                new CCollectionSendToSlot(frame, *features.collectionView, *features.slotWrites);
        // The synthesizer's memory is kept in the Collection, and read again when it changed.
        if (features.synthMemory != nullptr) {
            CSynthMemoryTracker* memory = features.synthMemory;
            memory->SetCollectionSource([service] { return service->Collection(); },
                                        [service](const QString& text) { service->ReportFailure(text); });
            QObject::connect(service, &CCollectionService::changed, memory, &CSynthMemoryTracker::Refresh);
        }
    }

    features.editor = ComposeEditor(frame, features, services, midiIn);
    // The synthesizer Find Synthesizer found is the user's choice of port, and the programs
    // chosen on it are told from then on.
    if (features.findSynth != nullptr) {
        CMidiPortFollower* follower = features.portFollower;
        CEditorCommands* editor = features.editor;
        features.findSynth->WhenPortChosen([follower, editor](const CMidiPortItem& port) {
            if (follower != nullptr)
                follower->SetChosenPort(port);
            if (editor != nullptr)
                editor->WatchSynthProgramChanges();
        });
    }
    features.userGuide = new CUserGuide(frame, *services.messageBox);

    // Where the bank can be read again is kept when the window closes (after the question
    // about its unsaved changes).
    features.lastBank = new CLastBank(*services.profile, *features.bank, &frame);
    CLastBank* lastBank = features.lastBank;
    frame.WhenClosed([lastBank] { lastBank->Store(); });

    frame.RestoreLayout();
    frame.PlaceAtFirstStart();
    return features;
}

void ReopenLastBank(CMainFrame& frame, const CWindowFeatures& features)
{
    CLastBank* lastBank = features.lastBank;
    CBankCommands* bank = features.bank;
    CCollectionBankCommands* lists = features.collection.bank;
    CMainFrame* window = &frame;
    QTimer::singleShot(0, window, [window, lastBank, bank, lists] {
        CLastBank::Reopener reopenList;
        if (lists != nullptr)
            reopenList = [lists](const QString& name, QString& error) { return lists->ReopenList(name, error); };
        // The stored layout decides whether the pane shows.
        const bool paneHidden = bank->Pane()->isHidden();
        lastBank->Reopen([bank](const QString& path, QString& error) { return bank->ReopenBankFile(path, error); },
                         reopenList, [window](const QString& text) { window->ShowStatusMessage(text, FILE_NOTE_MS); });
        if (paneHidden)
            bank->Pane()->hide();
    });
}

void OpenCommandLineFiles(CMainFrame& frame, const QStringList& arguments)
{
    QStringList notes;
    const QStringList paths = CommandLineFiles(arguments, &notes);
    if (paths.isEmpty() && notes.isEmpty())
        return;
    CMainFrame* window = &frame;
    QTimer::singleShot(0, window, [window, paths, notes] {
        window->OpenFiles(paths, ILoadedList::ReadFailures::OneBoxAtEnd);
        if (!notes.isEmpty())
            window->ShowStatusMessage(notes.join("; "));
    });
}
