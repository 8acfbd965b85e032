#pragma once
// What a feature sees of the main window's MIDI side: whether Midi Active has the port open,
// the chosen port and channel, the open port for a transfer of its own, sending a program
// as Audition does, and closing MIDI as unticking Midi Active does; and news of the port
// opening and closing and of the programs sent to the synthesizer's edit buffer.

#include "Bank.h"
#include "MidiOutService.h"

#include <functional>

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

    // Called right after Midi Active opened the port (true), and right before the port
    // closes (false; also when the window closes or the port goes away): a feature that
    // sends on the port from a thread of its own stops there, before the handle goes.
    using PortHandler = std::function<void(bool opened)>;
    virtual void WhenPortOpenedOrClosing(PortHandler handler) = 0;
    // Called after a program went to the synthesizer's edit buffer (Audition, Random,
    // AuditionProgram), with its bytes; `random` for a Random program.
    using ProgramSentHandler = std::function<void(const CBank::ProgramData& program, bool random)>;
    virtual void WhenProgramSent(ProgramSentHandler handler) = 0;
};
