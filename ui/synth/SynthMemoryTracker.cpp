#include "SynthMemoryTracker.h"

#include "Collection.h"
#include "SyxFormat.h"
#include "host/BankAccess.h"

#include <QDateTime>
#include <QTimer>

#include <ctime>

namespace {

std::int64_t Now()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

QString TimeText(std::int64_t seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString("yyyy-MM-dd hh:mm");
}

std::vector<CollectionProgramData> ProgramsOf(const CBank& bank)
{
    std::vector<CollectionProgramData> programs;
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        programs.push_back(bank.GetProgram(slot));
    return programs;
}

}  // namespace

CSynthMemoryTracker::CSynthMemoryTracker(IBankAccess* bank, QObject* parent) : QObject(parent), m_bank(bank)
{
    // Another bank in the pane is not the synthesizer's, unless it is what the synthesizer
    // holds (a receive into the pane, a bank read that equals it).
    if (m_bank != nullptr)
        m_bank->WhenBankReplaced([this] { m_bankIsSynths = BankEqualsMemory(); });
}

void CSynthMemoryTracker::SetCollectionSource(std::function<CCollection*()> source,
                                              std::function<void(const QString&)> reportFailure)
{
    m_collection = std::move(source);
    m_reportFailure = std::move(reportFailure);
    m_seenChanges = -1;
    // Once the window is up: opening the Collection is not for the start to wait on.
    QTimer::singleShot(0, this, [this] { Refresh(); });
}

void CSynthMemoryTracker::Refresh()
{
    CCollection* collection = m_collection ? m_collection() : nullptr;
    if (collection == nullptr)
        return;
    const std::int64_t changes = collection->ChangeCount();
    if (changes == m_seenChanges)
        return;
    CKnownSynthMemory memory;
    std::string error;
    if (!collection->KnownSynthMemory(memory, error))
        return;   // what is known stays; the Collection tells its own troubles
    m_seenChanges = collection->ChangeCount();
    // Older than what this session knows: a receive not taken in yet (the take-in's time may
    // be a second off this one's).
    if (!memory.IsKnown() || (m_known && memory.baseTime < m_baseTime - 2))
        return;
    std::optional<CBank> bank = CBank::FromProgramData(memory.programs);
    if (!bank)
        return;
    const bool same = m_known && *m_known == *bank && m_slotsWritten == memory.slotsWritten;
    SetKnown(*bank, memory.base == CKnownSynthMemory::Base::BankSent ? Base::BankSent : Base::Receive,
             memory.baseTime, memory.slotsWritten);
    if (!same) {
        m_bankIsSynths = BankEqualsMemory();
        Changed();
    }
}

const CBank* CSynthMemoryTracker::KnownMemory() const
{
    return m_known ? &*m_known : nullptr;
}

QString CSynthMemoryTracker::KnownMemoryOrigin() const
{
    if (!m_known)
        return QString();
    QString origin = m_base == Base::Receive ? QString("the receive of %1").arg(TimeText(m_baseTime))
                                             : QString("the bank sent %1").arg(TimeText(m_baseTime));
    if (m_slotsWritten == 1)
        origin += ", with 1 slot written since";
    else if (m_slotsWritten > 1)
        origin += QString(", with %1 slots written since").arg(m_slotsWritten);
    return origin;
}

bool CSynthMemoryTracker::IsBankTheSynths() const
{
    return m_bankIsSynths && m_known && m_bank != nullptr && m_bank->HasBank();
}

void CSynthMemoryTracker::WhenKnownMemoryChanged(ChangedHandler handler)
{
    m_handlers.push_back(std::move(handler));
}

void CSynthMemoryTracker::OnDumpReceived(const std::vector<unsigned char>& dump)
{
    if (dump.size() <= SYX_HEADER_SIZE || (dump[4] != FUNC_PROGRAM_DUMP && dump[4] != FUNC_ALL_DATA_DUMP))
        return;
    std::string error;
    const std::optional<CBank> bank = CBank::ReadBytes(dump.data(), dump.size(), error);
    if (!bank)
        return;
    SetKnown(*bank, Base::Receive, Now(), 0);
    // Received into the pane, or into the library while the pane holds the same programs.
    m_bankIsSynths = BankEqualsMemory();
    Changed();
}

void CSynthMemoryTracker::OnBankSent(const CBank& bank)
{
    SetKnown(bank, Base::BankSent, Now(), 0);
    m_bankIsSynths = BankEqualsMemory();
    if (CCollection* collection = m_collection ? m_collection() : nullptr) {
        std::string error;
        Noted(collection->RecordSynthBankSent(ProgramsOf(bank), error, m_baseTime), error);
    }
    Changed();
}

void CSynthMemoryTracker::OnSlotWritten(int slot, const CBank::ProgramData& program)
{
    if (CCollection* collection = m_collection ? m_collection() : nullptr) {
        std::string error;
        Noted(collection->RecordSynthSlotWritten(slot, program, error), error);
    }
    if (!m_known)
        return;   // one slot says nothing of the other 127
    m_known->PutProgram(slot, program.data(), static_cast<unsigned int>(program.size()));
    ++m_slotsWritten;
    Changed();
}

void CSynthMemoryTracker::MarkBankAsTheSynths()
{
    m_bankIsSynths = BankEqualsMemory();
}

void CSynthMemoryTracker::SetKnown(const CBank& bank, Base base, std::int64_t time, int slotsWritten)
{
    m_known = bank;
    m_base = base;
    m_baseTime = time;
    m_slotsWritten = slotsWritten;
}

void CSynthMemoryTracker::Changed()
{
    for (const ChangedHandler& handler : m_handlers)
        handler();
}

bool CSynthMemoryTracker::BankEqualsMemory() const
{
    return m_known && m_bank != nullptr && m_bank->Bank() != nullptr && *m_bank->Bank() == *m_known;
}

void CSynthMemoryTracker::Noted(bool done, const std::string& error)
{
    // The note's own change is read again by the next Refresh, and found to be what is known.
    if (!done && m_reportFailure)
        m_reportFailure(QString("The Collection could not note what was sent to the synthesizer: %1")
                            .arg(QString::fromStdString(error)));
}
