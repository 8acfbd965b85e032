#pragma once
// The main window: tool bar, MIDI bar, status bar and the program grid, the library it
// shows, the MIDI output state, and the commands that work on them.

#include "ProgramList.h"
#include "SyxProgram.h"
#include "MidiEvent.h"
#include "MidiOutService.h"
#include "MidiPortModel.h"
#include "ProgramSender.h"
#include "host/CommandHost.h"
#include "host/LoadedList.h"
#include "host/MidiLink.h"
#include "library/DuplicateMarking.h"
#include "library/LibraryRows.h"
#include "library/LibrarySources.h"
#include "services/CommandTable.h"
#include "services/CommandUpdater.h"
#include "services/SendGate.h"
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
class CProgramGrid;
class CWindowPlacement;

// The window is the features' host: it shows their library, lends them its MIDI link and
// takes their commands and panes (ui/host/).
class CMainFrame : public QMainWindow, public ILoadedList, public IMidiLink, public ICommandHost {
    Q_OBJECT
public:
    // `onAppAbout` runs the About command, which belongs to the application object.
    CMainFrame(const CUiServices& services, IMidiOutService& midi, CommandHandler onAppAbout);
    ~CMainFrame() override;

    // Window creation, in this order: the stored placement, then the bars, grid and lists;
    // then, once the features are in (frame/Composition), the first start's size.
    bool PreCreateWindow();
    int OnCreate();
    void PlaceAtFirstStart();
    // The shutdown steps: closes MIDI and writes the settings. Run from the close event.
    bool DestroyWindow();

    // Commands.
    void OnFileOpen();
    void OnFileSaveLastRandom();
    void OnEditFind();
    void OnProgramAudition();
    void OnProgramRandom();
    void OnProgramRandomFromSelection();
    void OnProgramMarkDuplicates();
    void OnMidiActive();

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

    // The loaded list (ILoadedList).
    const CProgramList& Programs() const override { return m_programs; }
    const CLibrarySources& Sources() const override { return m_librarySources; }
    CProgramGrid* Grid() const override { return m_wndGrid; }
    const CSyxProgram* SelectedProgram() const override;
    std::vector<const CSyxProgram*> SelectedPrograms() const override;
    void OpenFiles(const QStringList& paths, ReadFailures failures = ReadFailures::BoxForEach) override;
    // The one box of ReadFailures::OneBoxAtEnd: `failures` holds a line per file.
    static QString ReadFailuresText(const QStringList& failures);
    bool AddLibrarySource(const std::vector<unsigned char>& dump, const QString& sourceName,
                          std::string& error) override;
    void AddLibraryPrograms(const std::vector<CBank::ProgramData>& programs, const QString& sourceName) override;
    void WhenFilesRead(FilesReadHandler handler) override;
    void WhenDumpAdded(DumpAddedHandler handler) override;

    // The MIDI link (IMidiLink).
    bool IsMidiOpen() const override { return m_hMidiOut != nullptr; }
    int SelectedChannel() const override;
    IMidiOutService& MidiService() override { return m_midi; }
    MidiOutHandle MidiOut() const override { return m_hMidiOut; }
    CMidiEvent& MidiDone() override { return m_midiDone; }
    void AuditionProgram(const CSyxProgram& program) override;
    CMidiPortModel& MidiPorts() override { return m_midiPorts; }
    QComboBox* MidiPortList() const override { return m_cbMidiPort; }
    void CloseMidi() override;
    bool OpenMidiOn(const CMidiPortItem& port, int channel) override;
    void SetTransfer(IMidiTransfer* transfer) override { m_transfer = transfer; }
    bool IsTransferRunning() const override { return m_transfer != nullptr && m_transfer->IsRunning(); }
    void WhenPortOpenedOrClosing(PortHandler handler) override { m_portHandlers.push_back(std::move(handler)); }
    void WhenProgramSent(ProgramSentHandler handler) override { m_programSentHandlers.push_back(std::move(handler)); }

    // The command host (ICommandHost).
    QWidget* Window() override { return this; }
    CCommandUpdater& Updater() override { return m_updater; }
    QMenu* Menu(HostMenu menu) override;
    QAction* Action(int commandId) const override;
    void ShowStatusMessage(const QString& text, int timeoutMs = 0) override;
    void AddPane(QDockWidget* pane, Qt::DockWidgetArea area) override;
    void RestoreLayout() override;
    void AddCloseGuard(CloseGuard guard) override;
    void WhenClosed(ClosedHandler handler) override;

    // Read access for the status panes, the tests and the screenshot script.
    const QString& FindText() const { return m_findText; }
    int FileCount() const { return m_fileCount; }
    const unsigned char* LastRandom() const { return m_lastRandom; }
    unsigned int LastRandomLength() const { return m_lastRandomLen; }
    const CDuplicateMarking& DuplicateMarking() const { return m_duplicates; }
    QCheckBox* MidiActiveBox() const { return m_btnMidiActive; }
    // How long a send waits for the device; tests shorten it.
    void SetMidiSendTimeout(unsigned int milliseconds) { m_midiSendTimeoutMs = milliseconds; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
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
    // The title, duplicates and grid after a source was appended to the library.
    void ShowAddedSource(const QString& sourceName);
    // Stores the bars' and panes' places in the settings.
    void SaveLayout();
    // Once the window is on the screen: the floating panes the layout brought back are put
    // on the screen and above the window.
    void PlaceFloatingPanes();
    // Sends a built message through the open device; a refusal is shown in a message box.
    // Nothing is sent while another send goes out (m_sendGate) or a transfer has the port:
    // false then. `sent`, when given, tells whether the device took it.
    bool SendMessage(const CProgramMessage& message, bool* sent = nullptr);
    // Tells the features that `program` went to the edit buffer.
    void NotifyProgramSent(const CSyxProgram& program, bool random);
    // Tells the features that the port opened, or is about to close.
    void NotifyPort(bool opened);
    // Sends a generated program and keeps it as the last random program.
    void SendRandomProgram(std::unique_ptr<CSyxProgram> program);
    // What the status bar says after a Find.
    static QString MarkedCountText(int marked);

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
    CLibraryRows m_libraryRows{m_programs};   // what the grid's rows show
    QComboBox* m_cbMidiPort = nullptr;
    QComboBox* m_cbMidiChan = nullptr;
    QCheckBox* m_btnMidiActive = nullptr;
    CMidiPortModel m_midiPorts;     // the port and channel lists behind the two combo boxes
    unsigned int m_midiSendTimeoutMs = MIDI_SEND_TIMEOUT_MS;
    CSendGate m_sendGate;           // one send at a time, repeats that come meanwhile dropped
    MidiOutHandle m_hMidiOut = nullptr;
    CMidiEvent m_midiDone;
    QString m_findText;
    int m_markedRows = 0;   // rows the last refill marked
    int m_fileCount = 0;
    unsigned char m_lastRandom[MIDI_MESSAGE_BUFFER_SIZE] = {};
    unsigned int m_lastRandomLen = 0;
    CLibrarySources m_librarySources;    // the files behind the library's records
    IMidiTransfer* m_transfer = nullptr;  // the transfer that may hold the port
    std::map<HostMenu, QMenu*> m_menus;
    std::vector<FilesReadHandler> m_filesReadHandlers;
    std::vector<DumpAddedHandler> m_dumpAddedHandlers;
    std::vector<CloseGuard> m_closeGuards;
    std::vector<ClosedHandler> m_closedHandlers;
    std::vector<PortHandler> m_portHandlers;
    std::vector<ProgramSentHandler> m_programSentHandlers;

    QLabel* m_paneMessage = nullptr;
    QLabel* m_paneCount = nullptr;
    QLabel* m_paneMidi = nullptr;

    CDuplicateMarking m_duplicates;
    bool m_panesPlaced = false;
};
