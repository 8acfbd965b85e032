#include "DesktopTestSupport.h"

#include <QCheckBox>
#include <QFile>
#include <QStatusBar>

void DesktopTest::SetUp()
{
    fixture.midi.AddDevice("USB MIDI 1");
    fixture.Create();
}

QString DesktopTest::WriteBank(const QString& name, const std::string& prefix, int seed)
{
    std::vector<std::vector<unsigned char>> programs;
    for (int i = 0; i < 128; ++i)
        programs.push_back(MakeProgram(prefix + std::to_string(i), 0, seed + i));
    return WriteDump(Path(name), programs, FUNC_PROGRAM_DUMP);
}

QString DesktopTest::WriteOne(const QString& name, const std::string& programName, int seed)
{
    return WriteDump(Path(name), {MakeProgram(programName, 0, seed)}, FUNC_CURRENT_PROGRAM);
}

QString DesktopTest::WriteText(const QString& name)
{
    QFile file(Path(name));
    file.open(QIODevice::WriteOnly);
    file.write("not a dump\n");
    return Path(name);
}

void DesktopTest::Open(const QStringList& paths)
{
    fixture.fileDialogs.nextOpen = paths;
    Trigger(ID_FILE_OPEN);
}

void DesktopTest::Trigger(int commandId)
{
    fixture.Idle();
    Frame().Action(commandId)->trigger();
    fixture.Idle();
}

void DesktopTest::SelectRows(const std::vector<int>& rows)
{
    Grid().selectionModel()->clearSelection();
    for (int row : rows)
        Grid().selectionModel()->select(Grid().model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    fixture.Idle();
}

void DesktopTest::OpenMidi()
{
    Frame().findChild<QCheckBox*>("midiActive")->click();
    fixture.Idle();
    ASSERT_TRUE(Frame().IsMidiOpen());
}

QStringList DesktopTest::Names()
{
    QStringList names;
    for (int row = 0; row < Grid().model()->rowCount(); ++row)
        names.append(CellText(row, 3).mid(1));
    return names;
}

QString DesktopTest::StatusMessage()
{
    return Frame().statusBar()->currentMessage();
}
