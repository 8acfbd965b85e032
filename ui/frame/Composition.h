#pragma once
// Where the main window and its features meet: the one place that makes the features and
// hands each the parts of the window it needs (the interfaces of host/). Nothing else in
// frame/ knows a feature, and no feature knows the frame.

#include "collection/CollectionFeatures.h"

#include <QStringList>

class CBankCommands;
class CLastBank;
class CCollectionCommands;
class CCollectionHistoryCommand;
class CCollectionSendToSlot;
class CChangedSlotsCommand;
class CFindSynthCommand;
class CSlotWriteCommands;
class CSynthMemoryTracker;
class CFileDropTarget;
class CMainFrame;
class CMidiPortFollower;
class CRecentFiles;
class CSynthCommands;
class CUserGuide;
class IMidiInService;
class IMidiPortWatcher;
struct CUiServices;

// The window's features, children of the window.
struct CWindowFeatures {
    CRecentFiles* recentFiles = nullptr;
    CBankCommands* bank = nullptr;
    CFileDropTarget* drops = nullptr;
    CSynthCommands* synth = nullptr;              // with MIDI input only
    CMidiPortFollower* portFollower = nullptr;    // with a port watcher only
    CCollectionFeatures collection;
    CCollectionCommands* collectionView = nullptr;   // the Collection view and its commands
    CCollectionHistoryCommand* collectionHistory = nullptr;   // with the Collection's handle only
    // The synthesizer found and written slot by slot (with MIDI input only): its memory as
    // Veltrix knows it (the ISynthMemory of others), Find Synthesizer, the single slots and the
    // bank's changed slots.
    CSynthMemoryTracker* synthMemory = nullptr;
    CFindSynthCommand* findSynth = nullptr;
    CSlotWriteCommands* slotWrites = nullptr;               // the ISynthSlotWriter of others
    CChangedSlotsCommand* changedSlots = nullptr;           // with a bank only
    CCollectionSendToSlot* collectionSendToSlot = nullptr;  // with the Collection's handle only
    CUserGuide* userGuide = nullptr;   // Help > User Guide
    CLastBank* lastBank = nullptr;     // the bank kept for the next start
};

// Puts the features into `frame`, which OnCreate has just made, then its stored layout and
// the first start's size. Without `midiIn` there are no synthesizer commands; without
// `portWatcher` the port list stays as it was filled at start.
CWindowFeatures ComposeWindow(CMainFrame& frame, const CUiServices& services, IMidiInService* midiIn,
                              IMidiPortWatcher* portWatcher);

// The bank the last session closed with (a file or a Collection list) is made the bank
// again once the event loop runs; one that cannot be read is told in the status bar.
void ReopenLastBank(CMainFrame& frame, const CWindowFeatures& features);

// `veltrix FILE...`: opens the files (a folder gives its .syx files) as Open would, once the
// event loop runs.
void OpenCommandLineFiles(CMainFrame& frame, const QStringList& arguments);
