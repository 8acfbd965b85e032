#include "CollectionBankCommands.h"

#include "Bank.h"
#include "CollectionPrompts.h"
#include "CollectionService.h"
#include "host/BankAccess.h"
#include "host/CommandHost.h"
#include "services/CommandUpdater.h"
#include "services/MessageBoxService.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <map>

namespace {
// Where a program's sound begins: what follows its 12 name bytes.
constexpr std::size_t SOUND_OFFSET = 12;

bool SameSound(const CollectionProgramData& stored, const CBank::ProgramData& slot)
{
    return std::equal(stored.begin() + SOUND_OFFSET, stored.end(), slot.begin() + SOUND_OFFSET);
}
}  // namespace

CCollectionBankCommands::CCollectionBankCommands(CCollectionService& service, ICommandHost& host, IBankAccess& bank,
                                                 IMessageBoxService& messages)
    : QObject(host.Window()), m_service(service), m_host(host), m_bank(bank), m_messages(messages),
      m_qtPrompts(std::make_unique<CQtCollectionPrompts>()), m_prompts(m_qtPrompts.get())
{
    m_save = new QAction("Save Bank to &Collection...", host.Window());
    m_save->setObjectName("saveBankToCollectionAction");
    m_save->setStatusTip("Keep the bank in the Collection as a named list");
    m_open = new QAction("Open Bank from Co&llection...", host.Window());
    m_open->setObjectName("openBankFromCollectionAction");
    m_open->setStatusTip("Make a list kept in the Collection the bank");
    host.Updater().AddCommand(m_save, [this] { OnSaveBankToCollection(); },
                              [this](CCmdUI& cmdUI) { cmdUI.Enable(m_bank.HasBank()); });
    host.Updater().AddCommand(m_open, [this] { OnOpenBankFromCollection(); });
}

CCollectionBankCommands::~CCollectionBankCommands() = default;

void CCollectionBankCommands::ShowFailure(const QString& text)
{
    m_messages.Show(m_host.Window(), text, MessageIcon::Exclamation);
}

bool CCollectionBankCommands::FindBankPrograms(CCollection& collection, std::vector<CollectionId>& ids, int& missing)
{
    const CBank& bank = *m_bank.Bank();
    ids.assign(BANK_SLOT_COUNT, 0);
    missing = 0;
    // Programs are found by a name they were seen with, then told apart by their sound.
    std::map<std::string, std::vector<CollectionId>> candidatesByName;
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot) {
        const std::string name(bank.CreateSlotRecord(slot)->GetNameView());
        auto found = candidatesByName.find(name);
        if (found == candidatesByName.end()) {
            std::vector<CollectionId> candidates;
            for (const bool hidden : {false, true}) {
                CCollectionQuery query;
                query.text = name;
                query.hiddenOnly = hidden;
                for (const CCollectionProgram& program : collection.Search(query))
                    candidates.push_back(program.id);
            }
            found = candidatesByName.emplace(name, std::move(candidates)).first;
        }
        for (const CollectionId id : found->second) {
            CollectionProgramData data{};
            if (collection.ProgramData(id, data) && SameSound(data, bank.GetProgram(slot))) {
                ids[static_cast<std::size_t>(slot)] = id;
                break;
            }
        }
        if (ids[static_cast<std::size_t>(slot)] == 0)
            ++missing;
    }
    return missing == 0;
}

void CCollectionBankCommands::OnSaveBankToCollection()
{
    if (!m_bank.HasBank())
        return;
    QString name;
    if (!m_prompts->AskText(m_host.Window(), "Save Bank to Collection", "Name of the list:", m_bank.BankName(), name))
        return;
    name = name.trimmed();
    if (name.isEmpty())
        return;
    CCollection* collection = m_service.Collection();
    if (collection == nullptr)
        return;   // the status bar says why

    std::vector<CollectionId> ids;
    int missing = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool found = FindBankPrograms(*collection, ids, missing);
    QApplication::restoreOverrideCursor();
    if (!found) {
        ShowFailure(QString("%1 of the bank's programs are not in the Collection, so the bank was not saved. "
                            "Open the files they come from with File > Keep Opened Files in Collection "
                            "ticked, then save the bank again.")
                        .arg(missing));
        return;
    }
    std::string error;
    if (!collection->SaveList(name.toStdString(), ids, error)) {
        ShowFailure(QString::fromStdString(error));
        return;
    }
    m_host.ShowStatusMessage(QString("The bank was saved in the Collection as the list \"%1\"").arg(name), 10000);
    m_service.NotifyChanged();
}

void CCollectionBankCommands::OnOpenBankFromCollection()
{
    CCollection* collection = m_service.Collection();
    if (collection == nullptr)
        return;
    QStringList names;
    for (const CCollectionList& list : collection->Lists())
        if (list.programCount == BANK_SLOT_COUNT)
            names.append(QString::fromStdString(list.name));
    if (names.isEmpty()) {
        ShowFailure("The Collection holds no list of 128 programs to open as the bank.");
        return;
    }
    QString chosen;
    if (!m_prompts->AskChoice(m_host.Window(), "Open Bank from Collection", "List:", names, chosen))
        return;
    CCollectionList list;
    std::vector<unsigned char> dump;
    std::string error;
    if (!collection->FindList(chosen.toStdString(), list) || !collection->ListDump(list.id, dump, error)) {
        ShowFailure(error.empty() ? QString("The list \"%1\" is gone from the Collection.").arg(chosen)
                                  : QString::fromStdString(error));
        return;
    }
    std::optional<CBank> bank = CBank::ReadBytes(dump.data(), dump.size(), error);
    if (!bank) {
        ShowFailure(QString::fromStdString(error));
        return;
    }
    if (!m_bank.MayReplaceBank())
        return;
    m_bank.SetBank(*bank, chosen);
}
