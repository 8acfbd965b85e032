#include "CollectionHistory.h"

#include "Bank.h"
#include "CollectionService.h"
#include "host/BankAccess.h"
#include "host/SynthBankSender.h"
#include "services/MessageBoxService.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// How often Restore... looks whether a bank can go (MIDI turned on or off, a transfer ended).
constexpr int POLL_MS = 500;

enum Column { SLOT, FIRST_NAME, SECOND_NAME, MARK, COLUMN_COUNT };

// A slot renamed and changed is shown as changed: its sound is another.
QString MarkText(SlotChange change)
{
    switch (change) {
    case SlotChange::Unchanged: return "unchanged";
    case SlotChange::Renamed: return "renamed";
    case SlotChange::Changed:
    case SlotChange::RenamedAndChanged: return "changed";
    }
    return QString();
}
}  // namespace

CCollectionHistory::CCollectionHistory(CCollectionService& service, IBankAccess* bank, ISynthBankSender* sender,
                                       IMessageBoxService& messages, QWidget* parent)
    : QDialog(parent), m_service(service), m_bank(bank), m_sender(sender), m_messages(messages),
      m_first(new QComboBox(this)), m_second(new QComboBox(this)), m_restore(new QPushButton("&Restore...", this)),
      m_compare(new QPushButton("&Compare", this)), m_summary(new QLabel(this)),
      m_table(new QTableWidget(0, COLUMN_COUNT, this)), m_poll(new QTimer(this))
{
    setObjectName("collectionHistory");
    setWindowTitle("History");
    m_first->setObjectName("historyFirst");
    m_second->setObjectName("historySecond");
    m_restore->setObjectName("historyRestore");
    m_restore->setToolTip("Send this receive's 128 programs back to the synthesizer, as Send Bank to Synth does");
    m_compare->setObjectName("historyCompare");
    m_compare->setDefault(true);
    m_summary->setObjectName("historySummary");
    m_table->setObjectName("historyTable");
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);   // as the Collection's rows
    m_table->horizontalHeader()->setStretchLastSection(true);
    for (QComboBox* box : {m_first, m_second})
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    auto* firstLabel = new QLabel("&First:", this);
    auto* secondLabel = new QLabel("&Second:", this);
    firstLabel->setBuddy(m_first);
    secondLabel->setBuddy(m_second);
    auto* choices = new QGridLayout;
    choices->addWidget(firstLabel, 0, 0);
    choices->addWidget(m_first, 0, 1);
    choices->addWidget(m_restore, 0, 2);
    choices->addWidget(secondLabel, 1, 0);
    choices->addWidget(m_second, 1, 1);
    choices->addWidget(m_compare, 1, 2);
    choices->setColumnStretch(1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    resize(720, 560);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_compare, &QPushButton::clicked, this, &CCollectionHistory::OnCompare);
    connect(m_restore, &QPushButton::clicked, this, &CCollectionHistory::OnRestore);
    for (QComboBox* box : {m_first, m_second})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            ClearComparison("Press Compare to see the two slot by slot.");
            UpdateRestore();
        });
    connect(m_poll, &QTimer::timeout, this, &CCollectionHistory::UpdateRestore);
    m_poll->start(POLL_MS);
    ClearComparison(QString());
}

void CCollectionHistory::Fail(const QString& text)
{
    m_messages.Show(this, text, MessageIcon::Exclamation);
}

const CCollectionHistory::Entry* CCollectionHistory::Chosen(const QComboBox* box) const
{
    const int index = box->currentIndex();
    return index >= 0 && index < static_cast<int>(m_entries.size()) ? &m_entries[static_cast<std::size_t>(index)]
                                                                      : nullptr;
}

void CCollectionHistory::FillBoxes()
{
    m_entries.clear();
    if (m_bank != nullptr && m_bank->HasBank())
        m_entries.push_back({THE_BANK, "The bank (" + m_bank->BankName() + ")"});
    if (CCollection* collection = m_service.Collection()) {
        std::vector<CCollectionSource> sources = collection->Sources();
        std::reverse(sources.begin(), sources.end());   // newest first
        for (const CCollectionSource& source : sources)
            if (source.kind == SourceKind::Synth && source.programCount == BANK_SLOT_COUNT)
                m_entries.push_back({source.id, QString::fromStdString(source.name)});
    }
    for (QComboBox* box : {m_first, m_second}) {
        const QSignalBlocker quiet(box);
        box->clear();
        for (const Entry& entry : m_entries)
            box->addItem(entry.label);
    }
}

void CCollectionHistory::Refresh()
{
    const Entry* first = Chosen(m_first);
    const Entry* second = Chosen(m_second);
    const CollectionId firstId = first != nullptr ? first->source : -1;
    const CollectionId secondId = second != nullptr ? second->source : -1;
    FillBoxes();
    const auto indexOf = [this](CollectionId id) {
        const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                        [id](const Entry& entry) { return entry.source == id; });
        return found == m_entries.end() ? -1 : static_cast<int>(found - m_entries.begin());
    };
    const int firstIndex = indexOf(firstId);
    const int secondIndex = indexOf(secondId);
    if (firstIndex < 0 || secondIndex < 0) {
        ChooseFirst(firstId);
        return;
    }
    // The same two as before: the comparison shown still holds.
    const QSignalBlocker quietFirst(m_first);
    const QSignalBlocker quietSecond(m_second);
    m_first->setCurrentIndex(firstIndex);
    m_second->setCurrentIndex(secondIndex);
    UpdateRestore();
}

void CCollectionHistory::ChooseFirst(CollectionId receive)
{
    if (m_entries.empty())
        FillBoxes();
    std::vector<int> receives;
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].source != THE_BANK)
            receives.push_back(static_cast<int>(i));
    const int bank = !m_entries.empty() && m_entries[0].source == THE_BANK ? 0 : -1;

    // Without a receive asked for: the one before the newest, against the newest.
    int first = receives.size() > 1 ? receives[1] : receives.empty() ? bank : receives[0];
    for (int index : receives)
        if (m_entries[static_cast<std::size_t>(index)].source == receive)
            first = index;
    int second = bank >= 0 ? bank : first;
    for (int index : receives)
        if (index != first) {
            second = index;
            break;
        }
    {
        const QSignalBlocker quietFirst(m_first);
        const QSignalBlocker quietSecond(m_second);
        m_first->setCurrentIndex(first);
        m_second->setCurrentIndex(second);
    }
    if (receives.empty())
        ClearComparison("The Collection holds no receive of 128 programs from the synthesizer yet. Receive "
                        "All Programs or All Data from it (Program > Receive from Synth) to keep one.");
    else
        ClearComparison("Press Compare to see the two slot by slot.");
    UpdateRestore();
}

bool CCollectionHistory::EntryPrograms(const Entry& entry, std::vector<CollectionProgramData>& programs)
{
    programs.clear();
    if (entry.source == THE_BANK) {
        const CBank* bank = m_bank != nullptr ? m_bank->Bank() : nullptr;
        if (bank == nullptr) {
            Fail("The bank pane holds no bank any more.");
            return false;
        }
        for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
            programs.push_back(bank->GetProgram(slot));
        return true;
    }
    CCollection* collection = m_service.Collection();
    std::string error;
    if (collection == nullptr)
        error = "The Collection cannot be used now.";
    else if (collection->SourceBankPrograms(entry.source, programs, error))
        return true;
    Fail(QString::fromStdString(error));
    return false;
}

void CCollectionHistory::OnCompare()
{
    const Entry* first = Chosen(m_first);
    const Entry* second = Chosen(m_second);
    if (first == nullptr || second == nullptr)
        return;
    // Copies: telling a failure may run the event loop, and the lists may be refilled then.
    const Entry one = *first;
    const Entry two = *second;
    std::vector<CollectionProgramData> firstPrograms;
    std::vector<CollectionProgramData> secondPrograms;
    if (!EntryPrograms(one, firstPrograms) || !EntryPrograms(two, secondPrograms))
        return;
    m_table->setHorizontalHeaderLabels({"Slot", one.label, two.label, "Change"});
    ShowComparison(CompareSlots(firstPrograms, secondPrograms));
}

void CCollectionHistory::ShowComparison(const std::vector<CSlotDifference>& compared)
{
    const QColor quiet = palette().color(QPalette::Disabled, QPalette::Text);
    QFont strong = m_table->font();
    strong.setBold(true);
    int renamed = 0;
    int changed = 0;
    m_table->setRowCount(static_cast<int>(compared.size()));
    for (const CSlotDifference& slot : compared) {
        const QString texts[COLUMN_COUNT] = {QString::fromStdString(CBank::SlotName(slot.slot)),
                                             QString::fromStdString(slot.firstName),
                                             QString::fromStdString(slot.secondName), MarkText(slot.change)};
        const bool isChanged = slot.change == SlotChange::Changed || slot.change == SlotChange::RenamedAndChanged;
        renamed += slot.change == SlotChange::Renamed ? 1 : 0;
        changed += isChanged ? 1 : 0;
        for (int column = 0; column < COLUMN_COUNT; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (slot.change == SlotChange::Unchanged)
                item->setForeground(quiet);
            else if (isChanged)
                item->setFont(strong);
            m_table->setItem(slot.slot, column, item);
        }
    }
    m_table->resizeColumnsToContents();
    const int differ = renamed + changed;
    m_summary->setText(differ == 0 ? QString("All 128 slots are unchanged.")
                                   : QString("%1 of 128 slots differ: %2 renamed, %3 changed (in bold).")
                                         .arg(differ)
                                         .arg(renamed)
                                         .arg(changed));
}

void CCollectionHistory::ClearComparison(const QString& summary)
{
    m_table->setRowCount(0);
    m_table->setHorizontalHeaderLabels({"Slot", "First", "Second", "Change"});
    m_summary->setText(summary);
}

void CCollectionHistory::UpdateRestore()
{
    const Entry* first = Chosen(m_first);
    m_restore->setEnabled(first != nullptr && first->source != THE_BANK && m_sender != nullptr
                          && m_sender->CanSendBank());
}

void CCollectionHistory::OnRestore()
{
    const Entry* first = Chosen(m_first);
    if (first == nullptr || first->source == THE_BANK || m_sender == nullptr || !m_sender->CanSendBank())
        return;
    const Entry receive = *first;
    CCollection* collection = m_service.Collection();
    std::vector<unsigned char> bytes;
    if (collection == nullptr || !collection->SourceBytes(receive.source, bytes)) {
        Fail(QString("The receive %1 cannot be read from the Collection.").arg(receive.label)
             + (collection != nullptr && collection->ReadFailed()
                    ? " " + QString::fromStdString(collection->ReadError()) : QString()));
        return;
    }
    // An all-data receive gives its 128 programs; they go as a program dump.
    std::string error;
    const std::optional<CBank> bank = CBank::ReadBytes(bytes.data(), bytes.size(), error);
    if (!bank) {
        Fail(QString::fromStdString(error));
        return;
    }
    m_sender->SendBank(*bank, receive.label);
    UpdateRestore();
}
