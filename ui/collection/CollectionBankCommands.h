#pragma once
// The bank kept in the Collection: File > "Save Bank to Collection..." stores the bank
// pane's bank as a named list, File > "Open Bank from Collection..." makes a list the bank.

#include <QObject>
#include <QString>

#include <memory>

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

private:
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
