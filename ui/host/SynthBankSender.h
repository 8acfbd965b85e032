#pragma once
// What a feature sees of sending a bank to the synthesizer: the way Send Bank to Synth...
// does it, with its question, its transfer on the open port and its answer, for 128
// programs held elsewhere (a receive kept in the Collection).

#include <QString>

class CBank;

class ISynthBankSender {
public:
    virtual ~ISynthBankSender() = default;

    // Whether a bank can go now: Midi Active has the port open and no transfer runs.
    virtual bool CanSendBank() const = 0;
    // Asks whether `bank`, named `name` in the question, should replace the synthesizer's
    // 128 programs; when confirmed, sends it as one program dump on the chosen channel and
    // tells the synthesizer's answer when it comes. Returns at once; does nothing when a
    // bank cannot go now.
    virtual void SendBank(const CBank& bank, const QString& name) = 0;
};
