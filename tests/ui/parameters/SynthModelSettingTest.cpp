// View > Synthesizer in a main window offscreen: the choice read from the settings, shown in
// the menu, stored where veltrix-cli reads it (its own reader of the window's settings), and
// told to the features that show parameters.

#include "FrameTestSupport.h"
#include "Resources.h"
#include "WindowSettings.h"
#include "parameters/SynthModelSetting.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

TEST(SynthModelSetting, TheStoredChoiceIsReadAndAnyOtherValueIsTheMS2000)
{
    const struct {
        std::optional<QString> stored;
        SynthModel model;
    } cases[] = {
        {std::nullopt, SynthModel::MS2000},
        {"ms2000", SynthModel::MS2000},
        {"microkorg", SynthModel::MicroKorg},
        {" MicroKORG ", SynthModel::MicroKorg},   // as a hand-edited file may have it
        {"korg", SynthModel::MS2000},
        {"", SynthModel::MS2000},
    };
    for (const auto& test : cases) {
        CFrameFixture fixture;
        if (test.stored)
            fixture.profile.values["editor/model"] = *test.stored;
        CMainFrame& frame = fixture.Create();
        const CSynthModelSetting& setting = *fixture.features.synthModel;
        const QString shown = test.stored.value_or("(none)");
        EXPECT_EQ(setting.Model(), test.model) << shown.toStdString();
        EXPECT_EQ(setting.Action(ID_VIEW_SYNTH_MS2000)->isChecked(), test.model == SynthModel::MS2000);
        EXPECT_EQ(setting.Action(ID_VIEW_SYNTH_MICROKORG)->isChecked(), test.model == SynthModel::MicroKorg);
        // Reading stores nothing: a value the window does not know stays for the user to see.
        EXPECT_EQ(fixture.profile.values.count("editor/model"), test.stored ? 1u : 0u);
        EXPECT_TRUE(frame.Menu(HostMenu::View)->actions().contains(setting.Menu()->menuAction()));
    }
}

TEST(SynthModelSetting, AChoiceIsStoredWhereVeltrixCliReadsItAndToldOnce)
{
    QTemporaryDir folder;
    const QString settingsFile = folder.filePath("Veltrix.conf");
    CFrameFixture fixture;
    CMainFrame& frame = fixture.Create();
    CSettingsProfile profile(settingsFile);
    CSynthModelSetting setting(frame, profile);
    std::vector<SynthModel> told;
    setting.WhenModelChanged([&told](SynthModel model) { told.push_back(model); });

    setting.Action(ID_VIEW_SYNTH_MICROKORG)->trigger();
    setting.Action(ID_VIEW_SYNTH_MICROKORG)->trigger();   // chosen again: nothing new to tell
    EXPECT_EQ(setting.Model(), SynthModel::MicroKorg);
    EXPECT_FALSE(setting.Action(ID_VIEW_SYNTH_MS2000)->isChecked());
    EXPECT_EQ(told, std::vector<SynthModel>{SynthModel::MicroKorg});
    profile.Flush();
    EXPECT_EQ(ReadStoredModel(settingsFile.toStdString()), "microkorg");
    {
        // The next start shows it again.
        CSettingsProfile again(settingsFile);
        EXPECT_EQ(CSynthModelSetting(frame, again).Model(), SynthModel::MicroKorg);
    }

    setting.Action(ID_VIEW_SYNTH_MS2000)->trigger();
    profile.Flush();
    EXPECT_EQ(ReadStoredModel(settingsFile.toStdString()), "ms2000");
    EXPECT_EQ(told, (std::vector<SynthModel>{SynthModel::MicroKorg, SynthModel::MS2000}));
}

}  // namespace
