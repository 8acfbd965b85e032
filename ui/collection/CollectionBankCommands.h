#pragma once
// The bank kept in the Collection: File > "Save Bank to Collection..." stores the bank
// pane's bank as a named list, File > "Open Bank from Collection..." makes a list the bank.

#include <QObject>
#include <QString>

#include "Bank.h"

#include <QString>

#include <memory>
#include <optional>

class CCollectionService;
class IBankAccess;
class ICollectionPrompts;
class ICommandHost;
class IMessageBoxService;
class QAction;

// The list name offered for a bank of this name: a file's name without ".syx".
QString ListNameFor(const QString& bankName);

class CCollectionBankCommands : public QObject {
    Q_OBJECT
public:
    CCollectionBankCommands(CCollectionService& service, ICommandHost& host, IBankAccess& bank,
                            IMessageBoxService& messages);
    ~CCollectionBankCommands() override;
    // Tests answer the questions.
    void SetPrompts(ICollectionPrompts& prompts) { m_prompts = &prompts; }

    QAction* SaveAction() const { return m_save; }
    QAction* OpenAction() const { return m_open; }

    void OnSaveBankToCollection();
    void OnOpenBankFromCollection();
    // Makes the list the bank again at the start of a session, asking nothing. False, with
    // the reason, when the list is gone or the Collection cannot be used.
    bool ReopenList(const QString& name, QString& error);

private:
    bool ReadList(const QString& name, std::optional<CBank>& bank, QString& error);
    void ShowFailure(const QString& text);

    CCollectionService& m_service;
    ICommandHost& m_host;
    IBankAccess& m_bank;
    IMessageBoxService& m_messages;
    std::unique_ptr<ICollectionPrompts> m_qtPrompts;
    ICollectionPrompts* m_prompts;
    QAction* m_save;
    QAction* m_open;
};
