#pragma once
// View > Synthesizer: MS2000 or microKORG, the instrument the window shows programs'
// parameters for (two checkable choices, the MS2000 by default). The choice is kept in the
// settings as [editor] model, "ms2000" or "microkorg", the value veltrix-cli reads, and is
// written as soon as it is made, so that veltrix-cli agrees with the window while it is open.

#include "host/SynthModelSetting.h"
#include "services/CommandTable.h"

#include <QObject>

#include <vector>

class ICommandHost;
class IProfile;
class QAction;
class QMenu;

class CSynthModelSetting : public QObject, public ISynthModelSetting {
    Q_OBJECT
public:
    // Reads the stored choice; a missing or unknown value is the MS2000 (and stays stored
    // as it is until the user chooses).
    CSynthModelSetting(ICommandHost& host, IProfile& profile);

    SynthModel Model() const override { return m_model; }
    void WhenModelChanged(ModelChangedHandler handler) override;

    // As choosing it in the menu: stored, ticked, and told to the handlers when it changed.
    void SetModel(SynthModel model);

    QMenu* Menu() const { return m_menu; }
    QAction* Action(int commandId) const { return m_commands.Find(commandId); }

    // The stored text of a model, and the model a stored text stands for (letter case and
    // blanks around it ignored); false for anything else.
    static const char* StoredName(SynthModel model);
    static bool ParseStoredName(const QString& text, SynthModel& model);

private:
    void ShowChoice();

    IProfile& m_profile;
    CCommandTable m_commands;
    QMenu* m_menu;
    SynthModel m_model = SynthModel::MS2000;
    std::vector<ModelChangedHandler> m_handlers;
};
