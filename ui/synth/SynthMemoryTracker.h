#pragma once
// The synthesizer's memory as Veltrix knows it (ISynthMemory): the 128 programs of its last
// receive, or of the bank last sent to it, with the slots written since. It is kept in the
// Collection, so that the next start (and veltrix-cli) knows it too: a receive is taken in
// as a source anyway, banks sent and slots written are noted beside it. Without the
// Collection it is known for the session only.

#include "Bank.h"
#include "host/SynthMemory.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class CCollection;
class IBankAccess;

class CSynthMemoryTracker : public QObject, public ISynthMemory {
    Q_OBJECT
public:
    // `bank` (may be null) is the bank pane, for IsBankTheSynths.
    CSynthMemoryTracker(IBankAccess* bank, QObject* parent);

    // Where the Collection is each time it is needed; it gives null while there is none. The
    // memory it knows is read once the event loop runs. `reportFailure` tells that a note could not be kept.
    void SetCollectionSource(std::function<CCollection*()> source, std::function<void(const QString&)> reportFailure);
    // Reads the Collection's knowledge again when a connection changed the database since the
    // last look (veltrix-cli wrote to the synthesizer meanwhile). Knowledge of this session that
    // the Collection has not taken in yet (a receive on its way there) is kept.
    void Refresh();

    // ISynthMemory.
    const CBank* KnownMemory() const override;
    QString KnownMemoryOrigin() const override;
    bool IsBankTheSynths() const override;
    void WhenKnownMemoryChanged(ChangedHandler handler) override;

    // What happened to the synthesizer's memory. A dump received: a bank (0x4C, 0x50) is the
    // memory now; one program says nothing of it. The receive itself is taken into the
    // Collection by its take-in.
    void OnDumpReceived(const std::vector<unsigned char>& dump);
    void OnBankSent(const CBank& bank);
    // `slot` holds `program` now (a write the synthesizer confirmed).
    void OnSlotWritten(int slot, const CBank::ProgramData& program);
    // The bank pane's bank was sent slot by slot and now is the synthesizer's.
    void MarkBankAsTheSynths();

private:
    enum class Base { Receive, BankSent };
    void SetKnown(const CBank& bank, Base base, std::int64_t time, int slotsWritten);
    void Changed();
    // The pane holds exactly what is known.
    bool BankEqualsMemory() const;
    // After a note in the Collection: its failure told.
    void Noted(bool done, const std::string& error);

    IBankAccess* m_bank;
    std::function<CCollection*()> m_collection;
    std::function<void(const QString&)> m_reportFailure;
    std::int64_t m_seenChanges = -1;   // the Collection's change count at the last look
    std::optional<CBank> m_known;
    Base m_base = Base::Receive;
    std::int64_t m_baseTime = 0;       // seconds since the epoch
    int m_slotsWritten = 0;
    bool m_bankIsSynths = false;
    std::vector<ChangedHandler> m_handlers;
};
