#include "SynthModelSetting.h"

#include "Resources.h"
#include "host/CommandHost.h"
#include "services/Profile.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

namespace {
// The section and key veltrix-cli reads (cli/WindowSettings).
const char* const SECTION = "editor";
const char* const MODEL_KEY = "model";
}  // namespace

const char* CSynthModelSetting::StoredName(SynthModel model)
{
    return model == SynthModel::MicroKorg ? "microkorg" : "ms2000";
}

bool CSynthModelSetting::ParseStoredName(const QString& text, SynthModel& model)
{
    const QString name = text.trimmed().toLower();
    for (SynthModel known : {SynthModel::MS2000, SynthModel::MicroKorg})
        if (name == StoredName(known)) {
            model = known;
            return true;
        }
    return false;
}

CSynthModelSetting::CSynthModelSetting(ICommandHost& host, IProfile& profile)
    : QObject(host.Window()), m_profile(profile), m_commands(host.Window(), host.Updater()),
      m_menu(new QMenu("S&ynthesizer", host.Window()))
{
    m_menu->setObjectName("synthModelMenu");
    ParseStoredName(m_profile.GetProfileString(SECTION, MODEL_KEY, QString()), m_model);

    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    const struct {
        int id;
        const char* text;
        SynthModel model;
    } choices[] = {
        {ID_VIEW_SYNTH_MS2000, "&MS2000", SynthModel::MS2000},
        {ID_VIEW_SYNTH_MICROKORG, "micro&KORG", SynthModel::MicroKorg},
    };
    for (const auto& choice : choices) {
        const SynthModel model = choice.model;
        QAction* action = m_commands.Add(choice.id, choice.text, [this, model] { SetModel(model); });
        action->setCheckable(true);
        group->addAction(action);
        m_menu->addAction(action);
    }
    ShowChoice();
    if (QMenu* view = host.Menu(HostMenu::View)) {
        view->addSeparator();
        view->addMenu(m_menu);
    }
}

void CSynthModelSetting::WhenModelChanged(ModelChangedHandler handler)
{
    m_handlers.push_back(std::move(handler));
}

void CSynthModelSetting::SetModel(SynthModel model)
{
    const bool changed = model != m_model;
    m_model = model;
    ShowChoice();
    // Stored even when it was the one in use: a damaged value is mended by choosing.
    m_profile.WriteProfileString(SECTION, MODEL_KEY, StoredName(model));
    if (!changed)
        return;
    // Copied: a handler may add another.
    const std::vector<ModelChangedHandler> handlers = m_handlers;
    for (const ModelChangedHandler& handler : handlers)
        handler(model);
}

void CSynthModelSetting::ShowChoice()
{
    Action(ID_VIEW_SYNTH_MS2000)->setChecked(m_model == SynthModel::MS2000);
    Action(ID_VIEW_SYNTH_MICROKORG)->setChecked(m_model == SynthModel::MicroKorg);
}
