#include "CollectionHistory.h"

#include "Bank.h"
#include "CollectionService.h"
#include "ProgramParameters.h"
#include "host/BankAccess.h"
#include "host/SynthBankSender.h"
#include "host/SynthModelSetting.h"
#include "parameters/ParameterDifferenceList.h"
#include "services/MessageBoxService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {
// How often Restore... looks whether a bank can go (MIDI turned on or off, a transfer ended).
constexpr int POLL_MS = 500;

enum Column { SLOT, FIRST_NAME, SECOND_NAME, MARK, COLUMN_COUNT };

bool IsChanged(SlotChange change)
{
    return change == SlotChange::Changed || change == SlotChange::RenamedAndChanged;
}

// A slot renamed and changed is shown as changed: its sound is another.
QString MarkText(SlotChange change, std::size_t parameters)
{
    switch (change) {
    case SlotChange::Unchanged: return "unchanged";
    case SlotChange::Renamed: return "renamed";
    case SlotChange::Changed:
    case SlotChange::RenamedAndChanged: return "changed: " + CParameterDifferenceList::CountText(parameters);
    }
    return QString();
}

QString NameText(const std::string& name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

const QString PRESS_COMPARE = "Press Compare to see the two slot by slot.";
}  // namespace

CCollectionHistory::CCollectionHistory(CCollectionService& service, IBankAccess* bank, ISynthBankSender* sender,
                                       ISynthModelSetting* model, IMessageBoxService& messages, QWidget* parent)
    : QDialog(parent), m_service(service), m_bank(bank), m_sender(sender), m_model(model), m_messages(messages),
      m_first(new QComboBox(this)), m_second(new QComboBox(this)), m_restore(new QPushButton("&Restore...", this)),
      m_compare(new QPushButton("&Compare", this)), m_differencesOnly(new QCheckBox("&Differences only", this)),
      m_summary(new QLabel(this)), m_splitter(new QSplitter(Qt::Vertical, this)),
      m_table(new QTableWidget(0, COLUMN_COUNT, m_splitter)), m_parameters(new CParameterDifferenceList(m_splitter)),
      m_poll(new QTimer(this))
{
    setObjectName("collectionHistory");
    setWindowTitle("History");
    m_first->setObjectName("historyFirst");
    m_second->setObjectName("historySecond");
    m_restore->setObjectName("historyRestore");
    m_restore->setToolTip("Send First's 128 programs to the synthesizer, as Send Bank to Synth does");
    m_compare->setObjectName("historyCompare");
    m_compare->setDefault(true);
    m_differencesOnly->setObjectName("historyDifferencesOnly");
    m_differencesOnly->setChecked(true);
    m_differencesOnly->setToolTip("Hide the slots that are the same in both");
    m_summary->setObjectName("historySummary");
    m_summary->setWordWrap(true);
    m_table->setObjectName("historyTable");
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);   // as the Collection's rows
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_parameters->setObjectName("historyParameters");
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(0, 3);
    m_splitter->setStretchFactor(1, 2);
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
    auto* summary = new QHBoxLayout;
    summary->addWidget(m_summary, 1);
    summary->addWidget(m_differencesOnly);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addLayout(summary);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(buttons);
    resize(760, 680);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_compare, &QPushButton::clicked, this, &CCollectionHistory::OnCompare);
    connect(m_restore, &QPushButton::clicked, this, &CCollectionHistory::OnRestore);
    connect(m_differencesOnly, &QCheckBox::toggled, this, &CCollectionHistory::ApplyDifferencesOnly);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &CCollectionHistory::ShowSelectedSlot);
    for (QComboBox* box : {m_first, m_second})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            ClearComparison(PRESS_COMPARE);
            UpdateRestore();
        });
    connect(m_poll, &QTimer::timeout, this, &CCollectionHistory::UpdateRestore);
    m_poll->start(POLL_MS);
    if (m_model != nullptr) {
        QPointer<CCollectionHistory> self(this);
        m_model->WhenModelChanged([self](SynthModel) {
            if (self && !self->m_slots.empty())
                self->ShowComparison();
        });
    }
    ClearComparison(QString());
}

SynthModel CCollectionHistory::Model() const
{
    return m_model != nullptr ? m_model->Model() : SynthModel::MS2000;
}

void CCollectionHistory::Fail(const QString& text)
{
    m_messages.Show(this, text, MessageIcon::Exclamation);
}

const CHistoryEntry* CCollectionHistory::Chosen(const QComboBox* box) const
{
    const int index = box->currentIndex();
    return index >= 0 && index < static_cast<int>(m_entries.size()) ? &m_entries[static_cast<std::size_t>(index)]
                                                                      : nullptr;
}

void CCollectionHistory::FillBoxes()
{
    m_entries = HistoryEntries(m_service.Collection(), m_bank);
    for (QComboBox* box : {m_first, m_second}) {
        const QSignalBlocker quiet(box);
        box->clear();
        for (const CHistoryEntry& entry : m_entries) {
            box->addItem(entry.label);
            if (!entry.toolTip.isEmpty())
                box->setItemData(box->count() - 1, entry.toolTip, Qt::ToolTipRole);
        }
    }
}

void CCollectionHistory::Refresh()
{
    const CHistoryEntry* first = Chosen(m_first);
    const CHistoryEntry* second = Chosen(m_second);
    const std::optional<CHistoryEntry> firstChosen = first ? std::optional<CHistoryEntry>(*first) : std::nullopt;
    const std::optional<CHistoryEntry> secondChosen = second ? std::optional<CHistoryEntry>(*second) : std::nullopt;
    FillBoxes();
    const auto indexOf = [this](const std::optional<CHistoryEntry>& chosen) {
        if (!chosen)
            return -1;
        const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                        [&chosen](const CHistoryEntry& entry) { return entry.SameAs(*chosen); });
        return found == m_entries.end() ? -1 : static_cast<int>(found - m_entries.begin());
    };
    const int firstIndex = indexOf(firstChosen);
    const int secondIndex = indexOf(secondChosen);
    if (firstIndex < 0 || secondIndex < 0) {
        ChooseFirst(firstChosen ? &*firstChosen : nullptr);
        return;
    }
    // The same two as before: the comparison shown still holds.
    const QSignalBlocker quietFirst(m_first);
    const QSignalBlocker quietSecond(m_second);
    m_first->setCurrentIndex(firstIndex);
    m_second->setCurrentIndex(secondIndex);
    UpdateRestore();
}

void CCollectionHistory::ChooseFirst(const CHistoryEntry* asked)
{
    // Copied: filling the lists again may replace what `asked` points to.
    const std::optional<CHistoryEntry> wanted = asked ? std::optional<CHistoryEntry>(*asked) : std::nullopt;
    if (m_entries.empty())
        FillBoxes();
    int first = -1;
    int second = -1;
    ChooseHistoryPair(m_entries, wanted ? &*wanted : nullptr, first, second);
    {
        const QSignalBlocker quietFirst(m_first);
        const QSignalBlocker quietSecond(m_second);
        m_first->setCurrentIndex(first);
        m_second->setCurrentIndex(second);
    }
    const bool collectionHasBanks = std::any_of(m_entries.begin(), m_entries.end(), [](const CHistoryEntry& entry) {
        return entry.kind != CHistoryEntry::Kind::Bank;
    });
    if (!collectionHasBanks)
        ClearComparison("The Collection holds no bank of 128 programs yet. Receive All Programs or All Data from "
                        "the synthesizer (Program > Receive from Synth), or open a file of 128 programs while Keep "
                        "Opened Files in Collection is ticked, to keep one.");
    else
        ClearComparison(PRESS_COMPARE);
    UpdateRestore();
}

bool CCollectionHistory::EntryPrograms(const CHistoryEntry& entry, std::vector<CollectionProgramData>& programs)
{
    std::string error;
    if (HistoryEntryPrograms(entry, m_service.Collection(), m_bank, programs, error))
        return true;
    Fail(QString::fromStdString(error));
    return false;
}

void CCollectionHistory::OnCompare()
{
    const CHistoryEntry* first = Chosen(m_first);
    const CHistoryEntry* second = Chosen(m_second);
    if (first == nullptr || second == nullptr)
        return;
    // Copies: telling a failure may run the event loop, and the lists may be refilled then.
    const CHistoryEntry one = *first;
    const CHistoryEntry two = *second;
    std::vector<CollectionProgramData> firstPrograms;
    std::vector<CollectionProgramData> secondPrograms;
    if (!EntryPrograms(one, firstPrograms) || !EntryPrograms(two, secondPrograms))
        return;
    m_firstPrograms = std::move(firstPrograms);
    m_secondPrograms = std::move(secondPrograms);
    m_slots = CompareSlots(m_firstPrograms, m_secondPrograms);
    m_table->setHorizontalHeaderLabels({"Slot", one.label, two.label, "Change"});
    m_table->clearSelection();
    ShowComparison();
    // The first slot that differs is shown at once.
    const auto differs = std::find_if(m_slots.begin(), m_slots.end(), [](const CSlotDifference& slot) {
        return slot.change != SlotChange::Unchanged;
    });
    if (differs != m_slots.end())
        m_table->selectRow(differs->slot);
    else
        m_parameters->Clear("All 128 slots are the same in both.");
}

void CCollectionHistory::ShowComparison()
{
    const QColor quiet = palette().color(QPalette::Disabled, QPalette::Text);
    QFont strong = m_table->font();
    strong.setBold(true);
    const SynthModel model = Model();
    int renamed = 0;
    int changed = 0;
    const QSignalBlocker quietTable(m_table);   // the selection stays; the pane is shown again below
    m_table->setRowCount(static_cast<int>(m_slots.size()));
    for (const CSlotDifference& slot : m_slots) {
        const std::size_t index = static_cast<std::size_t>(slot.slot);
        const std::size_t parameters =
            slot.change == SlotChange::Unchanged
                ? 0
                : CompareParameters(m_firstPrograms[index].data(), m_secondPrograms[index].data(), model)
                      .differences.size();
        const QString texts[COLUMN_COUNT] = {QString::fromStdString(CBank::SlotName(slot.slot)),
                                             NameText(slot.firstName), NameText(slot.secondName),
                                             MarkText(slot.change, parameters)};
        const bool isChanged = IsChanged(slot.change);
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
    ApplyDifferencesOnly();
    for (int column = SLOT; column < MARK; ++column)   // the mark takes the room that is left
        m_table->resizeColumnToContents(column);
    const int differ = renamed + changed;
    m_summary->setText(differ == 0 ? QString("All 128 slots are unchanged.")
                                   : QString("%1 of 128 slots differ: %2 renamed, %3 changed (in bold).")
                                         .arg(differ)
                                         .arg(renamed)
                                         .arg(changed));
    ShowSelectedSlot();
}

void CCollectionHistory::ApplyDifferencesOnly()
{
    const bool hide = m_differencesOnly->isChecked();
    for (const CSlotDifference& slot : m_slots)
        m_table->setRowHidden(slot.slot, hide && slot.change == SlotChange::Unchanged);
}

void CCollectionHistory::ShowSelectedSlot()
{
    const QList<QTableWidgetItem*> selected = m_table->selectedItems();
    const int row = selected.isEmpty() ? -1 : selected.front()->row();
    if (row < 0 || row >= static_cast<int>(m_slots.size()) || m_table->isRowHidden(row)) {
        m_parameters->Clear(m_slots.empty() ? QString() : QString("Select a slot to see its parameters that differ."));
        return;
    }
    const CSlotDifference& slot = m_slots[static_cast<std::size_t>(row)];
    QString heading = QString::fromStdString(CBank::SlotName(slot.slot)) + " \"" + NameText(slot.firstName) + "\"";
    if (slot.secondName != slot.firstName)
        heading += " / \"" + NameText(slot.secondName) + "\"";
    m_parameters->ShowDifferences(m_firstPrograms[static_cast<std::size_t>(row)].data(),
                                  m_secondPrograms[static_cast<std::size_t>(row)].data(), Model(), heading);
}

void CCollectionHistory::ClearComparison(const QString& summary)
{
    m_slots.clear();
    m_firstPrograms.clear();
    m_secondPrograms.clear();
    m_table->setRowCount(0);
    m_table->setHorizontalHeaderLabels({"Slot", "First", "Second", "Change"});
    m_summary->setText(summary);
    m_parameters->Clear(QString());
}

void CCollectionHistory::UpdateRestore()
{
    const CHistoryEntry* first = Chosen(m_first);
    m_restore->setEnabled(first != nullptr && first->kind != CHistoryEntry::Kind::Bank && m_sender != nullptr
                          && m_sender->CanSendBank());
}

void CCollectionHistory::OnRestore()
{
    const CHistoryEntry* first = Chosen(m_first);
    if (first == nullptr || first->kind == CHistoryEntry::Kind::Bank || m_sender == nullptr
        || !m_sender->CanSendBank())
        return;
    const CHistoryEntry chosen = *first;
    // An all-data receive gives its 128 programs; they go as a program dump.
    std::vector<CollectionProgramData> programs;
    if (!EntryPrograms(chosen, programs))
        return;
    const std::optional<CBank> bank = CBank::FromProgramData(programs);
    if (!bank) {
        Fail(QString("%1 cannot be read from the Collection.").arg(chosen.label));
        return;
    }
    m_sender->SendBank(*bank, chosen.label);
    UpdateRestore();
}
