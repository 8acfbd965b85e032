#include "CompareProgramsCommand.h"

#include "CompareProgramsWindow.h"
#include "Resources.h"
#include "host/CommandHost.h"
#include "host/SynthModelSetting.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QWidget>

CCompareProgramsCommand::CCompareProgramsCommand(ICommandHost& host, ISynthModelSetting& model)
    : QObject(host.Window()), m_host(host), m_model(model), m_commands(host.Window(), host.Updater()),
      m_selection(this)
{
    QAction* action = m_commands.Add(ID_PROGRAM_COMPARE, "Co&mpare Programs...", [this] { OnProgramCompare(); },
                                     [this](CCmdUI& ui) { OnUpdateProgramCompare(ui); });
    action->setObjectName("compareProgramsAction");
    if (QMenu* program = m_host.Menu(HostMenu::Program)) {
        program->addSeparator();
        program->addAction(action);
    }
    QPointer<CCompareProgramsCommand> self(this);
    m_model.WhenModelChanged([self](SynthModel shown) {
        if (self && self->m_window != nullptr)
            self->m_window->SetModel(shown);
    });
}

QAction* CCompareProgramsCommand::Action() const
{
    return m_commands.Find(ID_PROGRAM_COMPARE);
}

void CCompareProgramsCommand::OnUpdateProgramCompare(CCmdUI& cmdUI)
{
    cmdUI.EnableIf(m_selection.HasPair(),
                   "Select two programs first: two together in the list, the bank or the Collection, or one in "
                   "each of two of them");
}

void CCompareProgramsCommand::OnProgramCompare()
{
    const std::vector<CPickedProgram> pair = m_selection.Pair();
    if (pair.size() != 2)
        return;
    if (m_window == nullptr)
        m_window = new CCompareProgramsWindow(m_host.Window());
    m_window->ShowPair(pair[0], pair[1], m_model.Model());
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
