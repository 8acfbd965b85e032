// What a screen reader is told of the window: every control of the list, the bank and the
// MIDI bar has a name, and a list row's marks, shown by its colour, are in its description.

#include "BankTestSupport.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <functional>

namespace {

TEST_F(BankPaneTest, EveryControlHasAnAccessibleName)
{
    CMainFrame& frame = fixture.Frame();
    OpenBank(WriteBank("Bank.syx", "Slot"));
    const std::pair<QWidget*, QString> controls[] = {
        {frame.Grid(), "Program list"},
        {Pane().Grid(), "Bank slots"},
        {frame.findChild<QComboBox*>("midiPort"), "Midi Port"},
        {frame.findChild<QComboBox*>("midiChan"), "Midi Chan"},
        {frame.MidiActiveBox(), "Midi Active"},
        {frame.findChild<QLabel*>("paneCount"), "Programs in the list"},
        {frame.findChild<QLabel*>("paneMidi"), "MIDI output"},
    };
    for (const auto& [widget, name] : controls) {
        ASSERT_NE(widget, nullptr) << name.toStdString();
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (qobject_cast<QComboBox*>(widget) == nullptr) {
            EXPECT_EQ(accessible->text(QAccessible::Name), name);
            continue;
        }
        // A list box's name on Linux is its current item: it has its own name for the other
        // platforms, and its label is told as a relation.
        EXPECT_EQ(widget->accessibleName(), name);
        QStringList labels;
        for (const auto& [label, relation] : accessible->relations(QAccessible::Label))
            labels << label->text(QAccessible::Name);
        EXPECT_EQ(labels, QStringList{name});
    }
}

TEST_F(BankPaneTest, AListRowsMarksAreInItsAccessibleDescription)
{
    // "Lead" and "Bead" sound the same.
    const std::vector<unsigned char> lead = MakeProgram("Lead", 0, 1);
    std::vector<unsigned char> bead = lead;
    bead[0] = 'B';
    OpenLibrary({WriteDump(Path("Lead.syx"), {lead}, FUNC_CURRENT_PROGRAM),
                 WriteDump(Path("Pad.syx"), {MakeProgram("Pad", 1, 2)}, FUNC_CURRENT_PROGRAM),
                 WriteDump(Path("Bead.syx"), {bead}, FUNC_CURRENT_PROGRAM)});
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(fixture.Frame().Grid());
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->tableInterface(), nullptr);

    struct Case {
        std::function<void()> mark;
        QString rows[3];
    };
    const Case cases[] = {
        {[this] { fixture.Find("lead"); }, {"Marked by Find", "", ""}},
        {[this] { fixture.Frame().Action(ID_PROGRAM_MARK_DUPLICATES)->trigger(); },
         {"Has a duplicate", "", "Has a duplicate"}},
        {[this] { fixture.Find(""); }, {"", "", ""}},
    };
    for (const Case& test : cases) {
        test.mark();
        fixture.Idle();
        for (int row = 0; row < 3; ++row)
            for (int column : {1, 3}) {   // every cell of the row says it
                QAccessibleInterface* cell = list->tableInterface()->cellAt(row, column);
                ASSERT_NE(cell, nullptr) << row;
                EXPECT_EQ(cell->text(QAccessible::Description), test.rows[row]) << "row " << row << " column " << column;
            }
    }
}

}  // namespace
