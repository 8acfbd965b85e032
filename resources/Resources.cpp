#include "Resources.h"

QString CommandString(int commandId)
{
    switch (commandId) {
    case ID_FILE_OPEN: return "Open Syx Files\nOpen  (Ctrl-O)";
    case ID_FILE_SAVE_LAST_RANDOM: return "Save the last Random program to disk\nSave Last Random";
    case ID_EDIT_FIND: return "Find Program\nFind Program (Ctrl-F)";
    case ID_PROGRAM_AUDITION: return "Audition Program via MIDI\nAudition Program  (Ctrl-A)";
    case ID_PROGRAM_RANDOM: return "Generate Random Program\nRandom Program (Ctrl-R)";
    case ID_APP_ABOUT: return "About\nAbout";
    case ID_PROGRAM_MARK_DUPLICATES: return "Mark the programs whose sound another program repeats\nMark Duplicates";
    case ID_PROGRAM_RANDOM_SELECTION:
        return "Generate a Random Program from the selected programs\nRandom from Selection";
    case ID_APP_EXIT: return "Quit the application; prompts to save documents\nExit";
    case ID_VIEW_TOOLBAR: return "Show or hide the toolbar\nToggle ToolBar";
    case ID_VIEW_STATUS_BAR: return "Show or hide the status bar\nToggle StatusBar";
    case ID_EDIT_UNDO: return "Undo the last change to the bank\nUndo (Ctrl-Z)";
    case ID_EDIT_REDO: return "Redo the change last undone\nRedo (Ctrl-Y)";
    case ID_FILE_OPEN_BANK: return "Open a 128-program dump as the bank\nOpen Bank";
    case ID_FILE_SAVE_BANK: return "Save the bank to its file\nSave Bank (Ctrl-S)";
    case ID_FILE_SAVE_BANK_AS: return "Save the bank as a 128-program dump\nSave Bank As";
    case ID_PROGRAM_PUT_IN_BANK: return "Put the selected programs in the bank from its selected slot on\nPut in Bank";
    case ID_PROGRAM_USE_AS_BANK: return "Use the 128 programs of the selected program's file as the bank\nUse as Bank";
    case ID_VIEW_BANK: return "Show or hide the bank\nToggle Bank";
    case ID_PROGRAM_RECEIVE_CURRENT: return "Receive the synthesizer's current program into the library\nReceive Current Program";
    case ID_PROGRAM_RECEIVE_PROGRAMS: return "Receive the synthesizer's 128 programs into the library\nReceive All Programs";
    case ID_PROGRAM_RECEIVE_ALL: return "Receive the synthesizer's programs and global data into the library\nReceive All Data";
    case ID_PROGRAM_RECEIVE_BANK: return "Receive the synthesizer's 128 programs as the bank\nReceive Bank from Synth";
    case ID_PROGRAM_SEND_BANK: return "Replace the synthesizer's 128 programs with the bank\nSend Bank to Synth";
    case ID_FILE_SAVE_RECEIVED_DUMP: return "Save the last dump received from the synthesizer to disk\nSave Received Dump";
    case ID_PROGRAM_FIND_SYNTH:
        return "Find the synthesizer on the MIDI ports and choose its port and channel\nFind Synthesizer";
    case ID_PROGRAM_SEND_TO_SLOT:
        return "Write the selected program into one slot of the synthesizer's memory\nSend to Synth Slot";
    case ID_COLLECTION_SEND_TO_SLOT:
        return "Write the Collection's selected program into one slot of the synthesizer's memory\nSend to Synth Slot";
    case ID_BANK_SEND_SLOT: return "Write the bank's selected slot into the same slot of the synthesizer\nSend Slot to Synth";
    case ID_BANK_SEND_CHANGED:
        return "Write only the bank's slots that differ from the synthesizer's memory\nSend Changed Slots to Synth";
    case ID_VIEW_COLLECTION: return "Show the Collection: every program ever opened or received\nCollection (Ctrl-L)";
    case ID_COLLECTION_AUDITION: return "Audition the Collection's selected program via MIDI\nAudition";
    case ID_COLLECTION_PUT_IN_BANK:
        return "Put the Collection's selected programs in the bank from its selected slot on\nPut in Bank";
    case ID_COLLECTION_SHOW_IN_LIST: return "Add the Collection's selected programs to the list\nShow in List";
    case ID_COLLECTION_FAVOURITE: return "Mark or unmark the selected programs as favourites\nFavourite (Ctrl-D)";
    case ID_COLLECTION_HIDE: return "Hide the selected programs from the Collection's searches, or show them again\nHide/Unhide";
    case ID_COLLECTION_TAGS: return "Tag the selected programs\nTags";
    case ID_COLLECTION_RENAME: return "Give the selected program a new name\nRename (F2)";
    case ID_COLLECTION_EXPORT: return "Write the selected programs to .syx files\nExport";
    case ID_FILE_NEW_BANK: return "Start a bank of 128 initial programs, as the synthesizer's Init makes them\nNew Bank";
    case ID_HELP_USER_GUIDE: return "Show the user guide\nUser Guide";
    default: return QString();
    }
}

QString CommandPrompt(int commandId)
{
    return CommandString(commandId).section('\n', 0, 0);
}

QString CommandTip(int commandId)
{
    return CommandString(commandId).section('\n', 1);
}
