#pragma once
// A main window on the test services with a folder for dump files, for the tests of drops,
// command-line files, Recent Files, Mark Duplicates and Random from Selection.

#include "FrameTestSupport.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "grid/ProgramGrid.h"

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override;

    QString Path(const QString& name) const { return folder.filePath(name); }
    // A 128-program dump of programs named `prefix` and their index, seeds from `seed` on.
    QString WriteBank(const QString& name, const std::string& prefix, int seed = 0);
    // A one-program dump.
    QString WriteOne(const QString& name, const std::string& programName, int seed = 0);
    QString WriteText(const QString& name);
    // Empties the library through Open, so that the next step starts from nothing loaded.
    void Open(const QStringList& paths);
    void Trigger(int commandId);
    void SelectRows(const std::vector<int>& rows);
    void OpenMidi();

    CMainFrame& Frame() { return fixture.Frame(); }
    CProgramGrid& Grid() { return *fixture.Frame().Grid(); }
    QString CellText(int row, int column) { return Grid().GetCell(row, column)->text; }
    QStringList Names();
    QString StatusMessage();

    QTemporaryDir folder;
    CFrameFixture fixture;
};
