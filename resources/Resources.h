#pragma once
// Identifiers and texts of the main window's resources: commands, controls, panes and the
// strings that go with them.

#include <QString>

// Resource id of the frame's menu, accelerators, icon, title, tool bar and MIDI bar.
constexpr int IDR_MAINFRAME = 128;

// Commands.
constexpr int ID_FILE_OPEN = 0xE101;
constexpr int ID_FILE_SAVE_LAST_RANDOM = 0x801D;
constexpr int ID_APP_EXIT = 0xE141;
constexpr int ID_VIEW_TOOLBAR = 0xE800;
constexpr int ID_VIEW_STATUS_BAR = 0xE801;
constexpr int ID_EDIT_FIND = 0xE124;
constexpr int ID_PROGRAM_AUDITION = 0x8006;
constexpr int ID_PROGRAM_RANDOM = 0x8018;
constexpr int ID_APP_ABOUT = 0xE140;
// The bank pane's commands.
constexpr int ID_EDIT_UNDO = 0xE12B;
constexpr int ID_EDIT_REDO = 0xE12C;
constexpr int ID_FILE_OPEN_BANK = 0x8040;
constexpr int ID_FILE_SAVE_BANK_AS = 0x8041;
constexpr int ID_PROGRAM_PUT_IN_BANK = 0x8042;
constexpr int ID_PROGRAM_USE_AS_BANK = 0x8043;
constexpr int ID_VIEW_BANK = 0x8044;
constexpr int ID_FILE_SAVE_BANK = 0x8045;
constexpr int ID_PROGRAM_MARK_DUPLICATES = 0x8030;
constexpr int ID_PROGRAM_RANDOM_SELECTION = 0x8031;
// The synthesizer's commands: receiving its dumps, sending it a bank.
constexpr int ID_PROGRAM_RECEIVE_CURRENT = 0x8050;
constexpr int ID_PROGRAM_RECEIVE_PROGRAMS = 0x8051;
constexpr int ID_PROGRAM_RECEIVE_ALL = 0x8052;
constexpr int ID_PROGRAM_RECEIVE_BANK = 0x8053;
constexpr int ID_PROGRAM_SEND_BANK = 0x8054;
constexpr int ID_FILE_SAVE_RECEIVED_DUMP = 0x8055;
// Finding the synthesizer and writing single slots of its memory.
constexpr int ID_PROGRAM_FIND_SYNTH = 0x80C0;
constexpr int ID_PROGRAM_SEND_TO_SLOT = 0x80C1;
constexpr int ID_COLLECTION_SEND_TO_SLOT = 0x80C2;
constexpr int ID_BANK_SEND_SLOT = 0x80C3;
constexpr int ID_BANK_SEND_CHANGED = 0x80C4;
// The Collection view and the commands on its selected programs.
constexpr int ID_VIEW_COLLECTION = 0x8070;
constexpr int ID_COLLECTION_AUDITION = 0x8071;
constexpr int ID_COLLECTION_PUT_IN_BANK = 0x8072;
constexpr int ID_COLLECTION_SHOW_IN_LIST = 0x8073;
constexpr int ID_COLLECTION_FAVOURITE = 0x8074;
constexpr int ID_COLLECTION_HIDE = 0x8075;
constexpr int ID_COLLECTION_TAGS = 0x8076;
constexpr int ID_COLLECTION_RENAME = 0x8077;
constexpr int ID_COLLECTION_EXPORT = 0x8078;

// The window's own further commands: a bank started anew, the user guide.
constexpr int ID_FILE_NEW_BANK = 0x80D0;
constexpr int ID_HELP_USER_GUIDE = 0x80D1;

// Controls of the MIDI bar.
constexpr int IDC_MIDI_PORT = 1000;
constexpr int IDC_MIDI_CHAN = 1001;
constexpr int IDC_MIDI_ACTIVE = 1007;

// Status panes.
constexpr int ID_INDICATOR_COUNT = 0xEF16;
constexpr int ID_INDICATOR_MIDI = 0xEF14;

// Dialogs.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_FIND = 132;
constexpr int IDC_FIND_NAME = 1009;

// The application's name, also the window title.
inline QString AppTitle() { return QStringLiteral("Veltrix"); }

// What a greyed command needs first, said in the status bar while it is hovered.
inline QString NeedsBankFirst() { return QStringLiteral("Open or start a bank first"); }
inline QString NeedsMidiFirst() { return QStringLiteral("Tick Midi Active first"); }
inline QString NeedsProgramsFirst() { return QStringLiteral("Open a .syx file first"); }
inline QString NeedsListRowFirst() { return QStringLiteral("Select a program in the list first"); }
inline QString NeedsTwoRowsFirst() { return QStringLiteral("Select two or more programs in the list first"); }
inline QString NeedsBankFileRowFirst() { return QStringLiteral("Select a program of a 128-program file first"); }
inline QString NeedsRandomFirst() { return QStringLiteral("Make a Random program first (Ctrl+R)"); }
inline QString NeedsReceiveFirst() { return QStringLiteral("Receive a dump from the synthesizer first"); }
inline QString NeedsTransferEndFirst() { return QStringLiteral("Wait for the transfer with the synthesizer to end"); }
inline QString NeedsCollectionRowFirst() { return QStringLiteral("Select a program in the Collection first"); }

// A command's prompt string: "status-bar prompt\ntool tip". Empty for unknown ids.
QString CommandString(int commandId);

// The part of a command string before "\n" (the status-bar prompt) and after it (the tip).
QString CommandPrompt(int commandId);
QString CommandTip(int commandId);
