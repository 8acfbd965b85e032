#pragma once
// Talking with the synthesizer through the open MIDI port, both ways: Program > Receive
// from Synth (its current program, its 128 programs or all its data, added to the library
// as one more source), Receive Bank from Synth and Send Bank to Synth... for the bank pane
// (and for others' banks), and File > Save Received Dump... Each transfer runs as a CMidiOperation, with the port's
// input opened for it and closed after it.

#include "DumpReceiver.h"
#include "MidiOperation.h"
#include "DumpRequest.h"
#include "MidiInService.h"
#include "SendBank.h"
#include "host/MidiLink.h"
#include "host/SynthBankSender.h"
#include "services/CommandTable.h"
#include "services/CommandUpdater.h"
#include "services/UiServices.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <vector>

class QAction;
class QMenu;
class CBank;
class CMidiEvent;
class IBankAccess;
class ICommandHost;
class IMidiInService;
class ILoadedList;

// The open port as a transfer of another feature has it on its worker thread.
struct CPortTransfer {
    IMidiOutService& out;
    MidiOutHandle hOut;
    CMidiEvent& done;
    IMidiInService& in;
    MidiInHandle hIn;
    int channel;   // 0-15
};

class CSynthCommands : public QObject, public IMidiTransfer, public ISynthBankSender {
    Q_OBJECT
public:
    // Made once the window's menus exist. Receives go into `library`, or into `bank`; without
    // a bank there is nothing to receive a bank into or send. The commands take the port as
    // `midi`'s transfer.
    CSynthCommands(ICommandHost& host, IMidiLink& midi, ILoadedList& library, IBankAccess* bank,
                   const CUiServices& services, IMidiInService& midiIn);
    ~CSynthCommands() override;

    QAction* Action(int commandId) const;
    QMenu* ReceiveMenu() const { return m_receiveMenu; }
    CMidiOperation& Operation() const { return *m_operation; }
    bool IsRunning() const override;
    // Ends a running transfer (its outcome is dropped) and waits for it.
    void CancelAndWait() override;

    // Send Bank to Synth... for any bank: the pane's, or one the Collection kept.
    bool CanSendBank() const override { return CanTransfer(); }
    void SendBank(const CBank& bank, const QString& name) override;

    // The last dump received, byte for byte; empty before the first.
    const std::vector<unsigned char>& ReceivedDump() const { return m_receivedDump; }
    // Called with every dump received whole, whether it went to the library or the bank.
    using ReceivedHandler = std::function<void(const std::vector<unsigned char>& dump)>;
    void WhenReceived(ReceivedHandler handler) { m_receivedHandlers.push_back(std::move(handler)); }
    // Called with every bank the synthesizer said it took (data load completed).
    using BankSentHandler = std::function<void(const CBank& bank)>;
    void WhenBankSent(BankSentHandler handler) { m_bankSentHandlers.push_back(std::move(handler)); }

    // Whether a transfer can start now: Midi Active has the port open and none runs.
    bool CanStartTransfer() const { return CanTransfer(); }
    // Runs another feature's exchange with the synthesizer as a transfer of its own: on the
    // chosen channel, with the port's input opened for it and closed after it, in the progress
    // dialog. `work` runs on the worker thread; `finished` on the window's, after the input is
    // closed. False, having told the user why (no channel chosen, an input that cannot be
    // read), when it cannot start.
    using PortWork = std::function<void(const CPortTransfer& port, const std::atomic<bool>& cancel,
                                        const CMidiOperation::Progress& progress)>;
    bool StartPortTransfer(std::size_t total, CMidiOperation::Describe describe, PortWork work,
                           CMidiOperation::Finished finished);

    // Tests shorten the waits and send without the wire's pace.
    void SetTimingForTests(const CReceiveTimeouts& timeouts, unsigned int answerMs, unsigned int wireBytesPerSecond);

    void OnReceive(DumpKind kind);
    void OnProgramReceiveBank();
    void OnProgramSendBank();
    void OnFileSaveReceivedDump();
    void OnUpdateMidiTransfer(CCmdUI& cmdUI);
    void OnUpdateProgramSendBank(CCmdUI& cmdUI);
    void OnUpdateFileSaveReceivedDump(CCmdUI& cmdUI);

private:
    enum class Destination { Library, Bank };

    void CreateCommands();
    void AddToMenus();
    bool CanTransfer() const;
    // What a transfer command needs first while it cannot run.
    QString TransferNeedsFirst() const;
    // The channel for a transfer, or -1 (told to the user) when none is chosen.
    int TransferChannel();
    // Opens the open port's input; null (told to the user) when it cannot be read.
    MidiInHandle OpenInput();
    void Receive(DumpKind kind, Destination destination);
    void OnReceived(Destination destination, const CReceiveResult& result);
    void OnBankSent(const CBankSendResult& result);
    void ShowFailure(const QString& text);

    ICommandHost& m_host;
    IMidiLink& m_midi;
    ILoadedList& m_library;
    IBankAccess* m_bank;
    CUiServices m_services;
    IMidiInService& m_midiIn;
    CCommandTable m_commands;
    CMidiOperation* m_operation;
    QMenu* m_receiveMenu = nullptr;
    std::vector<unsigned char> m_receivedDump;
    std::vector<ReceivedHandler> m_receivedHandlers;
    std::vector<BankSentHandler> m_bankSentHandlers;
    CReceiveTimeouts m_timeouts;
    unsigned int m_answerMs = 10000;
    unsigned int m_wireBytesPerSecond = MIDI_WIRE_BYTES_PER_SECOND;
};
