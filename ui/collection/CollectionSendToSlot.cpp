#include "CollectionSendToSlot.h"

#include "Collection.h"
#include "CollectionCommands.h"
#include "CollectionView.h"
#include "Resources.h"
#include "host/CommandHost.h"
#include "host/SynthSlotWriter.h"
#include "services/CommandUpdater.h"

#include <QAction>
#include <QMenu>

CCollectionSendToSlot::CCollectionSendToSlot(ICommandHost& host, CCollectionCommands& view, ISynthSlotWriter& writer)
    : QObject(host.Window()), m_view(view), m_writer(writer), m_action(new QAction("Send to Synth Sl&ot...", host.Window()))
{
    m_action->setObjectName("collectionSendToSlotAction");
    m_action->setStatusTip(CommandPrompt(ID_COLLECTION_SEND_TO_SLOT));
    host.Updater().AddCommand(m_action, [this] { OnCollectionSendToSlot(); }, [this](CCmdUI& ui) {
        ui.Enable(m_writer.CanWriteSlot() && m_view.View()->SelectedIds().size() == 1);
    });
    if (QMenu* menu = m_view.Menu())
        menu->addAction(m_action);
    m_view.ContextMenu()->addAction(m_action);
}

void CCollectionSendToSlot::OnCollectionSendToSlot()
{
    const std::vector<CollectionId> ids = m_view.View()->SelectedIds();
    CCollection* collection = m_view.View()->Collection();
    CollectionProgramData program{};
    if (ids.size() != 1 || collection == nullptr || !collection->ProgramData(ids.front(), program))
        return;
    m_writer.SendToSynthSlot(program);
}
