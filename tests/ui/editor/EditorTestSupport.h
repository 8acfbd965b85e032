#pragma once
// The main window shown and active, with MIDI both ways to the simulated synthesizer, the
// real MS2000 bank opened in the list, and the Program Editor.

#include "FrameTestSupport.h"
#include "ProgramParameters.h"
#include "TestMidiInService.h"
#include "TestMidiSynth.h"
#include "editor/EditorCommands.h"
#include "editor/EditorLiveLink.h"
#include "editor/ProgramEditorPane.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using Bytes = std::vector<unsigned char>;

// The model's parameter of that name (a test failure when there is none).
const CParameter& Parameter(ParamSection section, const char* name);
// The bytes of a file (none when it cannot be read).
Bytes ReadAll(const QString& path);

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CMainFrame& Frame() { return fixture.Frame(); }
    CEditorCommands& Editor() { return *fixture.features.editor; }
    CProgramEditorPane& Pane() { return *Editor().Pane(); }
    static QString RealFile(const char* name);
    // Opens real dumps in the list as File > Open does.
    void OpenFiles(const QStringList& paths);
    // Makes `row` the list's current row, as the arrow keys do, and lets the editor follow.
    void SelectRow(int row);
    // The program of the list's row, as its bytes.
    CBank::ProgramData RowProgram(int row) const;
    // Keys typed into the window, wherever its focus is.
    void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = {});
    void TypeText(const QString& text);
    // Ctrl+E, the find text, Return: the keyboard is then in the first match's control.
    void FindParameter(const QString& text);
    // Ticks Midi Active, as a click does.
    void ClickMidiActive();
    // Triggers a command as the menu does (after the idle update).
    void Trigger(int commandId);
    QAction* Command(int commandId);
    // What the control of `parameter` shows, as the model would write it.
    QString ControlText(const CParameter& parameter);
    // The messages that went to the synthesizer, and what it holds now.
    std::vector<Bytes> Sent() const { return fixture.midi.GetMessages(); }
    CBank::ProgramData SynthEditBuffer() const;
    // Waits until the editor's sender has nothing left and the synthesizer's answers are in.
    void Settle();
    // The status bar's text now.
    QString StatusText() const;

    CFrameFixture fixture;
    CTestMidiInService midiIn{fixture.midi};
    std::unique_ptr<CTestMidiSynth> synth;
    QTemporaryDir folder;
};
