#pragma once
// A main window with MIDI input attached: the test output and input services, a port
// watcher the test announces through, and the simulated synthesizer at the far end.

#include "FrameTestSupport.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "bank/BankCommands.h"
#include "bank/BankPane.h"
#include "TestMidiInService.h"
#include "TestMidiSynth.h"
#include "TestPortWatcher.h"
#include "synth/SynthCommands.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using Bytes = std::vector<unsigned char>;

class SynthTest : public ::testing::Test {
protected:
    void SetUp() override;
    // The window goes before the input service and the watcher it uses.
    void TearDown() override;

    CMainFrame& Frame() { return fixture.Frame(); }
    CSynthCommands& Synth() { return *fixture.features.synth; }
    QAction* Command(int commandId);
    // Triggers a command as the menu would (after the idle update).
    void Trigger(int commandId);
    // Ticks or unticks Midi Active as a click does.
    void ClickMidiActive();
    // Waits until the running transfer has ended; false when it did not within 10 s.
    bool WaitForTransfer();
    // Receives with the command and waits for its end.
    void ReceiveWith(int commandId);
    QString Path(const QString& name) const { return folder.filePath(name); }
    Bytes ReadFile(const QString& path) const;
    QString PortListText() const;
    std::vector<QString> MessageTexts() const;

    CFrameFixture fixture;
    CTestMidiInService midiIn{fixture.midi};
    CTestPortWatcher watcher;
    std::unique_ptr<CTestMidiSynth> synth;
    QTemporaryDir folder;
};
