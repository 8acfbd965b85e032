#pragma once
// Program > Collection > "History..." and the same in the Collection view's context menu:
// opens the History window. With a receive chosen in the view's filter list, that receive
// is the window's first choice.

#include <QObject>

class CCollectionCommands;
class CCollectionHistory;
class CCollectionService;
class IBankAccess;
class ICommandHost;
class IMessageBoxService;
class ISynthBankSender;
class QAction;

class CCollectionHistoryCommand : public QObject {
    Q_OBJECT
public:
    // `bank` and `sender` may be null (no bank pane, no MIDI input to send a bank with).
    CCollectionHistoryCommand(ICommandHost& host, CCollectionService& service, CCollectionCommands& view,
                              IBankAccess* bank, ISynthBankSender* sender, IMessageBoxService& messages);

    QAction* Action() const { return m_action; }
    // The window, once the command opened it; null before.
    CCollectionHistory* Window() const { return m_window; }

    void OnCollectionHistory();

private:
    ICommandHost& m_host;
    CCollectionService& m_service;
    CCollectionCommands& m_view;
    IBankAccess* m_bank;
    ISynthBankSender* m_sender;
    IMessageBoxService& m_messages;
    QAction* m_action;
    CCollectionHistory* m_window = nullptr;
};
