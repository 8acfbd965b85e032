#pragma once
// The window with a folder for dump files, for the bank pane's tests.

#include "Bank.h"
#include "FrameTestSupport.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "bank/BankCommands.h"
#include "bank/BankGrid.h"
#include "bank/BankPane.h"
#include "grid/ProgramGrid.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUndoStack>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

class BankPaneTest : public ::testing::Test {
protected:
    using Bytes = std::vector<unsigned char>;

    void SetUp() override
    {
        fixture.midi.AddDevice("USB MIDI 1");
        fixture.Create().show();   // drops and clicks need the slots laid out
    }

    QString Path(const QString& name) const { return folder.filePath(name); }

    // A 128-program dump whose names are `prefix` and the program's index.
    QString WriteBank(const QString& name, const std::string& prefix, unsigned char function = FUNC_PROGRAM_DUMP)
    {
        std::vector<std::vector<unsigned char>> programs;
        for (int i = 0; i < 128; ++i)
            programs.push_back(MakeProgram(prefix + std::to_string(i), i % 4, i + static_cast<int>(prefix.size())));
        return WriteDump(Path(name), programs, function);
    }

    QString WriteSingle(const QString& name, const std::string& programName)
    {
        return WriteDump(Path(name), {MakeProgram(programName, 1, 3)}, FUNC_CURRENT_PROGRAM);
    }

    void OpenLibrary(const QStringList& paths)
    {
        fixture.fileDialogs.nextOpen = paths;
        fixture.Frame().Action(ID_FILE_OPEN)->trigger();
        fixture.Idle();
    }

    void OpenBank(const QString& path)
    {
        fixture.fileDialogs.nextOpen = {path};
        Command(ID_FILE_OPEN_BANK)->trigger();
        fixture.Idle();
    }

    void SelectLibraryRows(std::initializer_list<int> rows)
    {
        CProgramGrid* grid = fixture.Frame().Grid();
        grid->clearSelection();
        for (int row : rows)
            grid->selectionModel()->select(grid->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        fixture.Idle();
    }

    // Drags `mime` onto the slot's row of the bank list and drops it there, as a drag from
    // the library or the bank ends. A drag the list turns down gets no drop.
    void DropOnSlot(QMimeData& mime, int slot, Qt::DropAction action = Qt::CopyAction)
    {
        CBankGrid* grid = Pane().Grid();
        const QPoint point = grid->visualRect(grid->model()->index(slot, 2)).center();
        QDragEnterEvent enter(point, action, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid->viewport(), &enter);
        QDragMoveEvent move(point, action, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid->viewport(), &move);
        if (move.isAccepted()) {
            EXPECT_EQ(grid->DropTarget(), slot);
            QDropEvent drop(point, action, &mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(grid->viewport(), &drop);
        }
        fixture.Idle();
    }

    Bytes Slot(int slot) const
    {
        const CBank::ProgramData& data = Pane().Bank()->GetProgram(slot);
        return Bytes(data.begin(), data.end());
    }
    Bytes Library(int row) const
    {
        const CSyxProgram* program = fixture.frame->Programs().GetAt(row);
        return Bytes(program->GetData(), program->GetData() + program->GetLength());
    }
    QString SlotName(int slot) const { return Pane().Grid()->GetCell(slot, 2)->text; }

    CBankPane& Pane() const { return *fixture.Bank().Pane(); }
    QAction* Command(int id) const { return fixture.Bank().Action(id); }
    QUndoStack& Undo() const { return *Pane().UndoStack(); }

    QTemporaryDir folder;
    CFrameFixture fixture;
};
