#pragma once
// The Program Editor's place in the main window: the pane as a dock shown by View > Program
// Editor (Ctrl+E, which also goes to its Find parameter field), the commands on the edited
// program (Revert, Save Program As..., Keep in Collection, Put in Bank, Send to Edit Buffer,
// Edit Last Random; in the pane's tool bar and Program > Edited Program), Program > Follow
// Synthesizer and Get from Synthesizer, Undo and Redo on the editor's steps while it has
// the keyboard, the question before unkept edits are lost (also when the window closes),
// and the live link that sends every change to the synthesizer.
//
// The window's composition tells it what to follow: FollowSelection for the list, the bank
// and the Collection, the Collection to keep programs in, the synthesizer's memory as
// Veltrix knows it, the bank's slots.

#include "Bank.h"
#include "services/CommandTable.h"
#include "services/CommandUpdater.h"
#include "services/UiServices.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class CEditorLiveLink;
class CProgramEditorPane;
class IBankAccess;
class ICommandHost;
class IMidiInService;
class IMidiLink;
class ISynthMemory;
class ISynthModelSetting;
class ISynthSlotWriter;
class QAction;
class QMenu;
class QUndoGroup;
class QUndoStack;
class QTimer;

class CEditorCommands : public QObject {
    Q_OBJECT
public:
    // Made once the window's menus exist; the pane starts hidden (until the window's layout
    // is restored). Without `midiIn` there is no following and no answers are read; without
    // `bank` no Put in Bank.
    CEditorCommands(ICommandHost& host, IMidiLink& midi, IMidiInService* midiIn, IBankAccess* bank,
                    const CUiServices& services);

    CProgramEditorPane* Pane() const { return m_pane; }
    CEditorLiveLink& Live() const { return *m_live; }
    QAction* Action(int commandId) const { return m_commands.Find(commandId); }
    // Program > Edited Program.
    QMenu* Menu() const { return m_menu; }

    // What it follows and where it keeps, from the window's composition.
    // A program selected elsewhere (in the view named `source`: "list", "bank", ...): shown
    // once the event loop turns, the latest of several selections winning; `fetch` gives its
    // bytes and its title then (false: none). With `refreshed`, the view only looked again
    // (its selected slot changed): followed only while the editor shows a program of that
    // view, so that it never pushes another program into the editor.
    using ProgramFetch = std::function<bool(CBank::ProgramData& data, QString& title)>;
    void FollowSelection(ProgramFetch fetch, const QString& source, bool refreshed = false);
    // Keep in Collection: takes the program into the Collection; false with the reason.
    using Keeper = std::function<bool(const CBank::ProgramData& program, QString& error)>;
    void SetKeeper(Keeper keeper);
    // The synthesizer's memory as known (for a program chosen on it) and how the bank
    // pane's slot is selected; `memory` may be null.
    // Find Synthesizer found the synthesizer: from now on the programs chosen on it are told
    // in the status bar (and its slot selected in the bank pane), also without following.
    void WatchSynthProgramChanges();
    void SetSynthMemory(ISynthMemory* memory, std::function<void(int slot)> selectBankSlot);
    // The group Edit > Undo and Redo act on: the editor's stack joins it and is the active
    // one while the pane has the keyboard.
    void SetUndoGroup(QUndoGroup* group);
    // Another feature's command on the edited program: in the pane's tool bar and the Edited
    // Program menu.
    void AddProgramCommand(QAction* action);
    // Edited Program > Send to Synth Slot..., through `writer` (not owned).
    void SetSlotWriter(ISynthSlotWriter* writer);
    // The instrument whose parameters are shown (View > Synthesizer), followed as it changes.
    void SetModelSetting(ISynthModelSetting& setting);

    // Shows `data` as the program `title` names (from the view `source`), after Keep /
    // Discard / Cancel when there are unkept edits. False when the edits stay (Cancel, or
    // Keep failed).
    bool OpenProgram(const CBank::ProgramData& data, const QString& title, const QString& source = QString());
    // Asks Keep / Discard / Cancel when there are unkept edits; true when they may go.
    bool MayLeaveProgram();
    // A dump received from the synthesizer (Receive from Synth): a current program dump is
    // what its edit buffer holds.
    void NoteReceivedDump(const std::vector<unsigned char>& dump);

    void OnViewProgramEditor();
    void OnFollowSynth();
    void OnGetFromSynth();
    void OnSaveProgramAs();
    bool OnKeepInCollection();
    void OnPutInBank();
    void OnSendToEditBuffer();
    void OnRevert();
    void OnEditLastRandom();
    void OnSendToSynthSlot();

private:
    void CreateCommands();
    void AddToMenus();
    void ShowPane();
    void ShowFollowedSelection();
    void OnProgramSent(const CBank::ProgramData& program, bool random);
    void OnProgramChosen(int program);
    void OnProgramReceived(const CBank::ProgramData& program, bool asked);
    void Note(const QString& text);
    // The program's name, for titles and file names.
    static QString NameOf(const CBank::ProgramData& program);

    ICommandHost& m_host;
    IMidiLink& m_midi;
    IMidiInService* m_midiIn;
    IBankAccess* m_bank;
    CUiServices m_services;
    CCommandTable m_commands;
    CProgramEditorPane* m_pane;
    CEditorLiveLink* m_live;
    QMenu* m_menu = nullptr;
    Keeper m_keeper;
    ISynthMemory* m_synthMemory = nullptr;
    ISynthSlotWriter* m_slotWriter = nullptr;
    std::function<void(int slot)> m_selectBankSlot;
    QUndoGroup* m_undoGroup = nullptr;
    QUndoStack* m_otherStack = nullptr;   // active in the group before the editor took the keyboard
    QTimer* m_selectionTimer;
    ProgramFetch m_pendingSelection;
    QString m_pendingSource;
    QString m_shownSource;   // the view the program shown came from ("list", "synth", ...)
    // What each view had selected the last time it was followed.
    struct CSelected {
        bool valid = false;
        CBank::ProgramData data{};
        QString title;
    };
    std::map<QString, CSelected> m_lastSelected;
    std::optional<CBank::ProgramData> m_lastRandom;
};
