#pragma once
// The main window: tool bar, MIDI bar, status bar and the program grid, the library it
// shows, the MIDI output state, and the commands that work on them.

#include "CommandTable.h"
#include "LibrarySources.h"
#include "ProgramList.h"
#include "SyxProgram.h"
#include "MidiEvent.h"
#include "MidiOutService.h"
#include "MidiPortModel.h"
#include "ProgramSender.h"
#include "desktop/DuplicateMarking.h"
#include "services/CommandUpdater.h"
#include "services/UiServices.h"

#include <QMainWindow>
#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QToolBar;
class CBankCommands;
class CProgramGrid;
class CWindowPlacement;
class CRecentFiles;
class CSynthCommands;
class IMidiInService;
class IMidiPortWatcher;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // `onAppAbout` runs the About command, which belongs to the application object.
    CMainFrame(const CUiServices& services, IMidiOutService& midi, CommandHandler onAppAbout);
    ~CMainFrame() override;

    // Window creation, in this order: the stored placement, then the bars, grid and lists.
    bool PreCreateWindow();
    int OnCreate();
    // The shutdown steps: closes MIDI and writes the settings. Run from the close event.
    bool DestroyWindow();

    // Commands.
    void OnFileOpen();
    // How the files that cannot be read are reported: File > Open gives each its own
    // message box; a drop, a folder, the command line and Recent Files, which may bring
    // many files at once, name them all in one box at the end.
    enum class ReadFailures { BoxForEach, OneBoxAtEnd };
    // What Open does once its dialog is confirmed with `paths`; also reached by a drop, the
    // command line and Recent Files. Nothing happens for an empty list.
    void OpenFiles(const QStringList& paths, ReadFailures failures = ReadFailures::BoxForEach);
    // The one box of ReadFailures::OneBoxAtEnd: `failures` holds a line per file.
    static QString ReadFailuresText(const QStringList& failures);
    void OnFileSaveLastRandom();
    void OnEditFind();
    void OnProgramAudition();
    void OnProgramRandom();
    void OnProgramRandomFromSelection();
    void OnProgramMarkDuplicates();
    void OnMidiActive();
    // Sends one program to the edit buffer as Audition does; nothing while MIDI is off.
    void AuditionProgram(const CSyxProgram& program);

    // Idle-time states of commands and status panes.
    void OnUpdateEditFind(CCmdUI& cmdUI);
    void OnUpdateProgramAudition(CCmdUI& cmdUI);
    void OnUpdateProgramRandomFromSelection(CCmdUI& cmdUI);
    void OnUpdateFileSaveLastRandom(CCmdUI& cmdUI);
    void OnUpdateIndicatorMidi(CCmdUI& cmdUI);
    void OnUpdateIndicatorCount(CCmdUI& cmdUI);

    // The grid's notifications (WM_USER): code and value. Returns 0.
    long OnGridNotify(long long wParam, long long lParam);

    // Refills the grid from the library and the find text.
    void PopulateGrid();
    // "Veltrix - [name]", or "Veltrix" for an empty name.
    void SetTitleFile(const QString& fileName);

    // Read access for the status panes, the tests and the screenshot script.
    QAction* Action(int commandId) const;
    CProgramGrid* Grid() const { return m_wndGrid; }
    const CProgramList& Programs() const { return m_programs; }
    const QString& FindText() const { return m_findText; }
    int FileCount() const { return m_fileCount; }
    bool IsMidiOpen() const { return m_hMidiOut != nullptr; }
    const unsigned char* LastRandom() const { return m_lastRandom; }
    unsigned int LastRandomLength() const { return m_lastRandomLen; }
    CCommandUpdater& Updater() { return m_updater; }
    // The bank pane and its commands.
    CBankCommands* Bank() const { return m_bank; }
    CRecentFiles& RecentFiles() { return *m_recentFiles; }
    const CDuplicateMarking& DuplicateMarking() const { return m_duplicates; }
    // MIDI input: the synthesizer's commands, and a port list that follows the ports as
    // they come and go when a watcher is given (ui/synth/). Called once after OnCreate.
    void AttachMidiInput(IMidiInService& midiIn, IMidiPortWatcher* portWatcher);
    CSynthCommands* Synth() const { return m_synth; }
    // The MIDI side, for the classes that talk with the synthesizer.
    IMidiOutService& MidiService() { return m_midi; }
    MidiOutHandle MidiOut() const { return m_hMidiOut; }
    CMidiEvent& MidiDone() { return m_midiDone; }
    CMidiPortModel& MidiPorts() { return m_midiPorts; }
    QComboBox* MidiPortList() const { return m_cbMidiPort; }
    QCheckBox* MidiActiveBox() const { return m_btnMidiActive; }
    // Appends the programs of a dump held in memory as one more source of the library, as
    // Open appends a file: it counts as a file for the title and the File column, and the
    // grid is refilled. False, with the reader's text and nothing added, for a bad dump.
    bool AddLibrarySource(const std::vector<unsigned char>& dump, const QString& sourceName, std::string& error);
    // How long a send waits for the device; tests shorten it.
    void SetMidiSendTimeout(unsigned int milliseconds) { m_midiSendTimeoutMs = milliseconds; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void OnSetFocus();
    void CreateCommands();
    void CreateMenus();
    void CreateToolBar();
    void CreateMidiBar();
    void CreateStatusBar();
    void CreateGridColumns();
    void FillMidiPortList();
    void FillMidiChannelList();
    void RestoreMidiChoice();
    void CloseMidiOut();
    int SelectedChannel() const;
    // Sends a built message through the open device; a refusal is shown in a message box.
    void SendMessage(const CProgramMessage& message);
    // Sends a generated program and keeps it as the last random program.
    void SendRandomProgram(std::unique_ptr<CSyxProgram> program);
    // What the status bar says after a Find.
    static QString MarkedCountText(int marked);
    // A short note in the status bar's message pane.
    void ShowStatusMessage(const QString& text, int timeoutMs = 0);

    CUiServices m_services;
    IMidiOutService& m_midi;
    CommandHandler m_onAppAbout;
    CCommandUpdater m_updater;
    CCommandTable m_commands;
    CWindowPlacement* m_placement;   // the stored rectangle, or the first start's size

    QStatusBar* m_wndStatusBar = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QToolBar* m_wndDlgBar = nullptr;   // the MIDI bar; both bars sit in the top tool bar area
    CProgramGrid* m_wndGrid = nullptr;
    CProgramList m_programs;
    QComboBox* m_cbMidiPort = nullptr;
    QComboBox* m_cbMidiChan = nullptr;
    QCheckBox* m_btnMidiActive = nullptr;
    CMidiPortModel m_midiPorts;     // the port and channel lists behind the two combo boxes
    unsigned int m_midiSendTimeoutMs = MIDI_SEND_TIMEOUT_MS;
    MidiOutHandle m_hMidiOut = nullptr;
    CMidiEvent m_midiDone;
    QString m_findText;
    int m_markedRows = 0;   // rows the last refill marked
    int m_fileCount = 0;
    unsigned char m_lastRandom[MIDI_MESSAGE_BUFFER_SIZE] = {};
    unsigned int m_lastRandomLen = 0;
    CLibrarySources m_librarySources;    // the files behind the library's records
    CBankCommands* m_bank = nullptr;      // a child of the window
    CSynthCommands* m_synth = nullptr;    // a child of the window, once MIDI input is attached

    QLabel* m_paneMessage = nullptr;
    QLabel* m_paneCount = nullptr;
    QLabel* m_paneMidi = nullptr;

    CDuplicateMarking m_duplicates;
    CRecentFiles* m_recentFiles = nullptr;
};
