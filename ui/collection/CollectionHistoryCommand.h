#pragma once
// Program > Collection > "History..." and the same in the Collection view's context menu:
// opens the History window. With a source or a list of 128 programs chosen in the view's
// filter list, it is the window's first choice.

#include <QObject>

class CCollectionCommands;
class CCollectionHistory;
class CCollectionService;
class IBankAccess;
class ICommandHost;
class IMessageBoxService;
class ISynthBankSender;
class ISynthModelSetting;
class QAction;

class CCollectionHistoryCommand : public QObject {
    Q_OBJECT
public:
    // `bank`, `sender` and `model` may be null (no bank pane, no MIDI input to send a bank
    // with, the MS2000's parameters).
    CCollectionHistoryCommand(ICommandHost& host, CCollectionService& service, CCollectionCommands& view,
                              IBankAccess* bank, ISynthBankSender* sender, ISynthModelSetting* model,
                              IMessageBoxService& messages);

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
    ISynthModelSetting* m_model;
    IMessageBoxService& m_messages;
    QAction* m_action;
    CCollectionHistory* m_window = nullptr;
};
