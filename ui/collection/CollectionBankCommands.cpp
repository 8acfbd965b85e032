#include "CollectionBankCommands.h"

#include "Bank.h"
#include "Collection.h"
#include "CollectionPrompts.h"
#include "CollectionService.h"
#include "Resources.h"
#include "host/BankAccess.h"
#include "host/CommandHost.h"
#include "services/CommandUpdater.h"
#include "services/MessageBoxService.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QWidget>

QString ListNameFor(const QString& bankName)
{
    // A bank from a file is named after the file; the list after what is in it.
    const QFileInfo file(bankName);
    return file.suffix().compare("syx", Qt::CaseInsensitive) == 0 ? file.completeBaseName() : bankName;
}

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
                              [this](CCmdUI& cmdUI) { cmdUI.EnableIf(m_bank.HasBank(), NeedsBankFirst()); });
    host.Updater().AddCommand(m_open, [this] { OnOpenBankFromCollection(); });
}

CCollectionBankCommands::~CCollectionBankCommands() = default;

void CCollectionBankCommands::ShowFailure(const QString& text)
{
    m_messages.Show(m_host.Window(), text, MessageIcon::Exclamation);
}

void CCollectionBankCommands::OnSaveBankToCollection()
{
    if (!m_bank.HasBank())
        return;
    QString name;
    if (!m_prompts->AskText(m_host.Window(), "Save Bank to Collection", "Name of the list to keep the bank as:",
                            ListNameFor(m_bank.BankName()), name))
        return;
    name = name.trimmed();
    if (name.isEmpty())
        return;
    CCollection* collection = m_service.Collection();
    if (collection == nullptr)
        return;   // the status bar says why
    CCollectionList existing;
    if (collection->FindList(name.toStdString(), existing)
        && !m_prompts->AskConfirm(m_host.Window(), "Save Bank to Collection",
                                  QString("The Collection already holds a list named \"%1\" (%2 programs). "
                                          "Replace it with the bank?")
                                      .arg(name)
                                      .arg(existing.programCount),
                                  "&Replace List"))
        return;

    const CBank& bank = *m_bank.Bank();
    std::vector<CollectionProgramData> programs(BANK_SLOT_COUNT);
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        programs[static_cast<std::size_t>(slot)] = bank.GetProgram(slot);
    CImportResult result;
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = collection->SaveBankAsList(name.toStdString(), programs, result, error);
    QApplication::restoreOverrideCursor();
    if (!saved) {
        ShowFailure(QString("The bank was not saved in the Collection. %1").arg(QString::fromStdString(error)));
        return;
    }
    QString told = QString("The bank was saved in the Collection as the list \"%1\"").arg(name);
    if (result.newPrograms > 0)
        told += QString("; %1 of its programs were new to the Collection").arg(result.newPrograms);
    m_host.ShowStatusMessage(told, 10000);
    m_service.NotifyChanged();
    // A bank from nowhere (received, started anew) is this list from now on.
    if (m_bank.Origin().kind == CBankOrigin::Kind::None)
        m_bank.SetOrigin(CBankOrigin::List(name));
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
    if (!m_prompts->AskChoice(m_host.Window(), "Open Bank from Collection", "List of 128 programs to make the bank:",
                              names, chosen))
        return;
    std::optional<CBank> bank;
    QString error;
    if (!ReadList(chosen, bank, error)) {
        ShowFailure(error);
        return;
    }
    if (!m_bank.MayReplaceBank())
        return;
    m_bank.SetBank(*bank, chosen);
    m_bank.SetOrigin(CBankOrigin::List(chosen));
    m_host.ShowStatusMessage(QString("The bank is the list \"%1\" of the Collection").arg(chosen), 10000);
}

bool CCollectionBankCommands::ReadList(const QString& name, std::optional<CBank>& bank, QString& error)
{
    CCollection* collection = m_service.Collection();
    if (collection == nullptr) {
        error = "The Collection cannot be used now.";
        return false;
    }
    CCollectionList list;
    std::vector<unsigned char> dump;
    std::string reason;
    if (!collection->FindList(name.toStdString(), list) || !collection->ListDump(list.id, dump, reason)) {
        error = reason.empty() ? QString("The list \"%1\" is gone from the Collection.").arg(name)
                               : QString::fromStdString(reason);
        return false;
    }
    bank = CBank::ReadBytes(dump.data(), dump.size(), reason);
    if (!bank)
        error = QString::fromStdString(reason);
    return bank.has_value();
}

bool CCollectionBankCommands::ReopenList(const QString& name, QString& error)
{
    std::optional<CBank> bank;
    if (!ReadList(name, bank, error))
        return false;
    m_bank.SetBank(*bank, name);
    m_bank.SetOrigin(CBankOrigin::List(name));
    return true;
}
