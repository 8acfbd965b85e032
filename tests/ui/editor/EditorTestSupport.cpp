#include "EditorTestSupport.h"

#include "SyxFormat.h"
#include "bank/BankCommands.h"
#include "editor/ParameterControl.h"
#include "grid/ProgramGrid.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QWindow>

const CParameter& Parameter(ParamSection section, const char* name)
{
    const CParameter* parameter = FindParameter(section, name);
    EXPECT_NE(parameter, nullptr) << name;
    return *parameter;
}

Bytes ReadAll(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    return Bytes(bytes.begin(), bytes.end());
}

void EditorTest::SetUp()
{
    fixture.midi.AddDevice("Serial MIDI 1", MidiOutKind::HardwarePort, true);
    synth = std::make_unique<CTestMidiSynth>(fixture.midi, midiIn);
    fixture.Create(&midiIn);
    if (!QFile::exists(RealFile("ms2000-bank-0x4C.syx")))
        GTEST_SKIP() << "no real dumps at " << VELTRIX_REALDATA_DIR;
    OpenFiles({RealFile("ms2000-bank-0x4C.syx")});
    Frame().show();
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    Editor().OnViewProgramEditor();
    fixture.Idle();
}

void EditorTest::TearDown()
{
    fixture.frame.reset();
    synth.reset();
}

QString EditorTest::RealFile(const char* name)
{
    return QString(VELTRIX_REALDATA_DIR) + '/' + name;
}

void EditorTest::OpenFiles(const QStringList& paths)
{
    fixture.fileDialogs.nextOpen = paths;
    Frame().OnFileOpen();
    fixture.Idle();
}

void EditorTest::SelectRow(int row)
{
    CProgramGrid* grid = Frame().Grid();
    grid->setCurrentIndex(grid->model()->index(row, 0));
    fixture.Idle();
}

CBank::ProgramData EditorTest::RowProgram(int row) const
{
    const CSyxProgram* program = fixture.frame->Programs().GetAt(row);
    CBank::ProgramData data;
    std::copy(program->GetData(), program->GetData() + PROGRAM_DATA_SIZE, data.begin());
    return data;
}

void EditorTest::Type(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(Frame().windowHandle(), key, modifiers);
    fixture.Idle();
}

void EditorTest::TypeText(const QString& text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
    fixture.Idle();
}

void EditorTest::FindParameter(const QString& text)
{
    Type(Qt::Key_E, Qt::ControlModifier);
    TypeText(text);
    Type(Qt::Key_Return);
}

void EditorTest::ClickMidiActive()
{
    Frame().findChild<QCheckBox*>("midiActive")->click();
    fixture.Idle();
}

QAction* EditorTest::Command(int commandId)
{
    QAction* action = Editor().Action(commandId);
    if (action == nullptr)
        action = Frame().Action(commandId);
    if (action == nullptr)
        action = fixture.Bank().Action(commandId);
    return action;
}

void EditorTest::Trigger(int commandId)
{
    fixture.Idle();
    Command(commandId)->trigger();
    fixture.Idle();
}

QString EditorTest::ControlText(const CParameter& parameter)
{
    CParameterControl* control = Pane().ControlOf(parameter);
    if (control == nullptr)
        return "(no control)";
    QWidget* widget = control->FocusWidget();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
        return spin->text();
    if (auto* list = qobject_cast<QComboBox*>(widget))
        return list->currentText();
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        return QString::fromLatin1(parameter.listNames[box->isChecked() ? 1 : 0]);
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        return line->text();
    return "(unknown control)";
}

CBank::ProgramData EditorTest::SynthEditBuffer() const
{
    const Bytes dump = synth->GetEditDump();
    CBank::ProgramData data{};
    std::size_t out = 0;
    for (std::size_t i = SYX_HEADER_SIZE; i + 1 < dump.size() && out < data.size(); i += 8)
        for (std::size_t k = 0; k < 7 && i + 1 + k < dump.size() - 1 && out < data.size(); ++k)
            data[out++] = static_cast<unsigned char>(dump[i + 1 + k] | (((dump[i] >> k) & 1) != 0 ? 0x80 : 0));
    return data;
}

void EditorTest::Settle()
{
    Editor().Live().Sender().WaitIdle(std::chrono::seconds(5));
    synth->WaitIdle();
    fixture.Idle();
    QTest::qWait(20);   // the input's notifier hands the answers over
    fixture.Idle();
}

QString EditorTest::StatusText() const
{
    return fixture.frame->statusBar()->currentMessage();
}
