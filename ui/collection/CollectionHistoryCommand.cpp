#include "CollectionHistoryCommand.h"

#include "CollectionCommands.h"
#include "CollectionHistory.h"
#include "CollectionService.h"
#include "CollectionView.h"
#include "host/CommandHost.h"
#include "services/CommandUpdater.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QWidget>

#include <optional>

CCollectionHistoryCommand::CCollectionHistoryCommand(ICommandHost& host, CCollectionService& service,
                                                     CCollectionCommands& view, IBankAccess* bank,
                                                     ISynthBankSender* sender, ISynthModelSetting* model,
                                                     IMessageBoxService& messages)
    : QObject(host.Window()), m_host(host), m_service(service), m_view(view), m_bank(bank), m_sender(sender),
      m_model(model), m_messages(messages), m_action(new QAction("&History...", host.Window()))
{
    m_action->setObjectName("collectionHistoryAction");
    m_action->setStatusTip("Compare two banks of 128 programs (receives, files, the bank) slot by slot and "
                           "parameter by parameter, and send one back");
    host.Updater().AddCommand(m_action, [this] { OnCollectionHistory(); });
    if (QMenu* menu = m_view.Menu()) {
        menu->addSeparator();
        menu->addAction(m_action);
    }
    m_view.ContextMenu()->addAction(m_action);
}

void CCollectionHistoryCommand::OnCollectionHistory()
{
    const bool opening = m_window == nullptr;
    if (opening) {
        m_window = new CCollectionHistory(m_service, m_bank, m_sender, m_model, m_messages, m_host.Window());
        connect(&m_service, &CCollectionService::changed, m_window, &CCollectionHistory::Refresh);
    }
    m_window->Refresh();
    // The source or list chosen in the view's filter list comes first; otherwise what was
    // chosen stays.
    const CCollectionFilter& filter = m_view.View()->Filter();
    std::optional<CHistoryEntry> asked;
    if (filter.kind == CCollectionFilter::Kind::Source || filter.kind == CCollectionFilter::Kind::List) {
        asked.emplace();
        asked->kind = filter.kind == CCollectionFilter::Kind::Source ? CHistoryEntry::Kind::Source
                                                                     : CHistoryEntry::Kind::List;
        asked->id = filter.id;
    }
    if (asked || opening) {
        m_window->ChooseFirst(asked ? &*asked : nullptr);
        if (m_window->FirstBox()->currentIndex() != m_window->SecondBox()->currentIndex())
            m_window->OnCompare();
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
