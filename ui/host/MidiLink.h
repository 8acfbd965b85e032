#pragma once
// What a feature sees of the main window's MIDI side: whether Midi Active has the port open,
// the chosen port and channel, the open port for a transfer of its own, sending a program
// as Audition does, and closing MIDI as unticking Midi Active does.

#include "MidiOutService.h"

class CMidiEvent;
class CMidiPortModel;
struct CMidiPortItem;
class CSyxProgram;
class QComboBox;

// A long exchange with the synthesizer on the open port (a dump received, a bank sent).
class IMidiTransfer {
public:
    virtual ~IMidiTransfer() = default;
    virtual bool IsRunning() const = 0;
    // Ends a running transfer (its outcome is dropped) and waits for it.
    virtual void CancelAndWait() = 0;
};

class IMidiLink {
public:
    virtual ~IMidiLink() = default;

    // Whether Midi Active has the port open.
    virtual bool IsMidiOpen() const = 0;
    // The channel chosen in the Midi Chan list, 0-15, or -1 when none is chosen.
    virtual int SelectedChannel() const = 0;
    // The output service, the open port's handle (null while MIDI is off) and the event its
    // long messages complete on: what a transfer on the port sends with.
    virtual IMidiOutService& MidiService() = 0;
    virtual MidiOutHandle MidiOut() const = 0;
    virtual CMidiEvent& MidiDone() = 0;
    // Sends one program to the edit buffer as Audition does; nothing while MIDI is off or a
    // transfer has the port.
    virtual void AuditionProgram(const CSyxProgram& program) = 0;

    // The ports and channels behind the MIDI bar's two lists, and the port list itself.
    virtual CMidiPortModel& MidiPorts() = 0;
    virtual QComboBox* MidiPortList() const = 0;
    // Turns MIDI off as unticking Midi Active does: a transfer on the port ends first, the
    // port closes and the lists can be changed again.
    virtual void CloseMidi() = 0;
    // Chooses `port` (as the port list has it now) and `channel` (0-15) in the MIDI bar and
    // ticks Midi Active, closing MIDI first when it is open elsewhere; a port that cannot be
    // opened is told as ticking tells it. True when MIDI is open on them afterwards.
    virtual bool OpenMidiOn(const CMidiPortItem& port, int channel) = 0;

    // The transfer that may hold the port: single sends are left out while it runs, and it
    // is ended before the port closes. Null forgets it; it must outlive the link otherwise.
    virtual void SetTransfer(IMidiTransfer* transfer) = 0;
    virtual bool IsTransferRunning() const = 0;
};
