#pragma once
// "Send to Synth Slot..." on the Collection's selected program (Program > Collection and the
// view's context menu): the program, carrying its shown name, is written into the slot the
// user picks, as the library's command writes a program.

#include <QObject>

class CCollectionCommands;
class ICommandHost;
class ISynthSlotWriter;
class QAction;

class CCollectionSendToSlot : public QObject {
    Q_OBJECT
public:
    CCollectionSendToSlot(ICommandHost& host, CCollectionCommands& view, ISynthSlotWriter& writer);

    QAction* Action() const { return m_action; }

    void OnCollectionSendToSlot();

private:
    CCollectionCommands& m_view;
    ISynthSlotWriter& m_writer;
    QAction* m_action;
};
