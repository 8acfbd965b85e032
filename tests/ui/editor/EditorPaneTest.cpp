// The Program Editor pane in the offscreen window, on the real dumps: what each control
// shows, the find field and the keys, undo by gesture, and keeping the result.

#include "EditorTestSupport.h"

#include "Collection.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "bank/BankCommands.h"
#include "bank/BankGrid.h"
#include "bank/BankPane.h"
#include "collection/CollectionService.h"
#include "editor/ParameterControl.h"
#include "editor/PictureViews.h"
#include "grid/ProgramGrid.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTabWidget>
#include <QTest>
#include <QUndoStack>

namespace {

// Every control shows what the model shows for the parameter, in programs of every voice mode,
// and only what applies has one on view.
TEST_F(EditorTest, EveryControlShowsTheModelsValueInEveryVoiceMode)
{
    OpenFiles({RealFile("ms2000-bank-0x4C.syx"), RealFile("mk-programs-0x4C.syx")});
    // Stab Saw (Single), Far Horizon (Dual), Bass&5thLead (Split), Vocoder Ens (Vocoder), and a
    // microKORG vocoder program with its undocumented bytes.
    const int rows[] = {0, 27, 115, 120, 128 + 112};
    for (const int row : rows) {
        SelectRow(row);
        const CBank::ProgramData program = RowProgram(row);
        ASSERT_EQ(program, Pane().Program()) << row;
        const std::vector<const CParameter*> applicable = ApplicableParameters(program.data(), SynthModel::MS2000);
        ASSERT_EQ(applicable, Pane().ShownParameters()) << row;
        for (const CParameter* parameter : applicable) {
            const QString expected = parameter->display == ParamDisplay::Text
                                         ? QString::fromStdString(ProgramNameText(program.data()))
                                         : QString::fromStdString(std::string(ShownText(*parameter, program.data())));
            EXPECT_EQ(expected, ControlText(*parameter)) << row << ' ' << SectionName(parameter->section) << ' '
                                                          << parameter->name;
            // Its name goes with it to a screen reader.
            EXPECT_EQ(QString::fromLatin1(parameter->name), Pane().ControlOf(*parameter)->FocusWidget()->accessibleName());
        }
        const bool vocoder = (program[16] >> 4 & 3) == 3;
        const bool twoTimbres = (program[16] >> 4 & 3) == 1 || (program[16] >> 4 & 3) == 2;
        EXPECT_EQ(!vocoder, Pane().Tabs()->isTabVisible(1)) << row;
        EXPECT_EQ(twoTimbres, Pane().Tabs()->isTabVisible(2)) << row;
        EXPECT_EQ(vocoder, Pane().Tabs()->isTabVisible(3)) << row;
    }
    // Showing a program changes nothing: it is the original, not edited.
    EXPECT_FALSE(Pane().IsEdited());
    EXPECT_EQ(0, Pane().UndoStack()->count());
}

TEST_F(EditorTest, ForTheMicroKorgWhatItLacksIsNotShown)
{
    Pane().SetModel(SynthModel::MicroKorg);
    SelectRow(2);   // Evolution: its mod sequencer
    EXPECT_EQ(ApplicableParameters(Pane().Program().data(), SynthModel::MicroKorg), Pane().ShownParameters());
    EXPECT_FALSE(Pane().ControlOf(Parameter(ParamSection::Timbre1, "SEQ1 Step 1"))->FocusWidget()->isVisibleTo(Pane().Tabs()->widget(1)));
    EXPECT_TRUE(Pane().ControlOf(Parameter(ParamSection::Timbre1, "Cutoff"))->FocusWidget()->isVisibleTo(Pane().Tabs()->widget(1)));
}

TEST_F(EditorTest, AValueOutOfRangeIsShownAsItIsAndWrittenBackUnchanged)
{
    const CBank::ProgramData first = RowProgram(0);
    std::vector<unsigned char> program(first.begin(), first.end());
    program[58] = 200;   // timbre 1 Cutoff
    program[57] = 9;     // timbre 1 Filter Type
    OpenFiles({WriteDump(folder.filePath("odd.syx"), {program}, FUNC_CURRENT_PROGRAM)});
    SelectRow(0);
    EXPECT_EQ("200 (out of range)", ControlText(Parameter(ParamSection::Timbre1, "Cutoff")));
    EXPECT_EQ("9 (out of range)", ControlText(Parameter(ParamSection::Timbre1, "Filter Type")));
    // Another parameter changed, the odd ones stay as they were.
    ASSERT_TRUE(Pane().SetParameter(Parameter(ParamSection::Timbre1, "Resonance"), 3));
    EXPECT_EQ(200, Pane().Program()[58]);
    EXPECT_EQ(9, Pane().Program()[57]);
}

// The find field and the keys, as the users type them.
TEST_F(EditorTest, FindReturnATypedValueAndReturnSetIt)
{
    SelectRow(2);   // Evolution: a mod sequence on LFO1 frequency
    struct Case {
        const char* find;
        ParamSection section;
        const char* name;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"cutoff", ParamSection::Timbre1, "Cutoff", "99", "99"},
        {"arp tempo", ParamSection::Common, "Arp Tempo", "140", "140"},
        {"filter type", ParamSection::Timbre1, "Filter Type", "12bpf", "12BPF"},    // a list, by its name
        {"transpose", ParamSection::Timbre1, "Transpose", "-12", "-12"},          // signed, stored 64 + x
        {"osc2 wave", ParamSection::Timbre1, "OSC2 Wave", "Saw", "Saw"},          // bits 1-0 of a shared byte
        {"panpot", ParamSection::Timbre1, "Amp Panpot", "L20", "L20"},
        {"seq1 step 5", ParamSection::Timbre1, "SEQ1 Step 5", "-30", "-30"},
        {"arp range", ParamSection::Common, "Arp Range", "3", "3"},              // bits 7-4, shown + 1
    };
    for (const Case& c : cases) {
        const CParameter& parameter = Parameter(c.section, c.name);
        FindParameter(c.find);
        ASSERT_EQ(Pane().ControlOf(parameter)->FocusWidget(), QApplication::focusWidget()) << c.find;
        TypeText(c.typed);
        Type(Qt::Key_Return);
        EXPECT_EQ(c.shown, ControlText(parameter)) << c.find;
        int value = 0;
        std::string error;
        ASSERT_TRUE(ParseShownText(parameter, c.shown, value, error));
        EXPECT_EQ(value, ::Value(parameter, Pane().Program().data())) << c.find;
        // Escape goes back to the find field.
        Type(Qt::Key_Escape);
        EXPECT_EQ(Pane().FindField(), QApplication::focusWidget()) << c.find;
    }
    EXPECT_TRUE(Pane().IsEdited());

    // Up and Down step; Page Up and Page Down by a tenth of the range.
    const CParameter& cutoff = Parameter(ParamSection::Timbre1, "Cutoff");
    FindParameter("timbre 1 cutoff");
    Type(Qt::Key_Up);
    EXPECT_EQ("100", ControlText(cutoff));
    Type(Qt::Key_Down);
    Type(Qt::Key_Down);
    EXPECT_EQ("98", ControlText(cutoff));
    Type(Qt::Key_PageUp);
    EXPECT_EQ("110", ControlText(cutoff));
    FindParameter("filter type");
    Type(Qt::Key_Up);
    EXPECT_EQ("12LPF", ControlText(Parameter(ParamSection::Timbre1, "Filter Type")));

    // A text that is none of the parameter's values is refused with the reason.
    FindParameter("filter type");
    TypeText("7LPF");
    Type(Qt::Key_Return);
    EXPECT_EQ("12LPF", ControlText(Parameter(ParamSection::Timbre1, "Filter Type")));
    EXPECT_FALSE(StatusText().isEmpty());

    // The find field lists every match; Timbre 2 is not shown for a single program.
    Type(Qt::Key_E, Qt::ControlModifier);
    TypeText("timbre 2 cutoff");
    EXPECT_EQ(0, Pane().Matches()->count());
}

TEST_F(EditorTest, TabGoesFromControlToControlInPanelOrder)
{
    SelectRow(0);
    FindParameter("midi ch");
    const std::vector<QString> expected = {"Assign Mode", "EG2 Reset", "EG1 Reset", "Trigger Mode", "Key Priority",
                                           "Unison Detune", "Tune"};
    for (const QString& name : expected) {
        Type(Qt::Key_Tab);
        EXPECT_EQ(name, QApplication::focusWidget()->accessibleName());
    }
}

TEST_F(EditorTest, TheNameTakesWhatTheSynthesizerShowsAndRefusesTheRest)
{
    SelectRow(0);
    FindParameter("name");
    TypeText("Warm Pad");
    Type(Qt::Key_Return);
    EXPECT_EQ("Warm Pad", QString::fromStdString(ProgramNameText(Pane().Program().data())).trimmed());
    // A character it cannot show is refused, not dropped silently.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Eacute, Qt::NoModifier);
    fixture.Idle();
    EXPECT_TRUE(StatusText().contains("ASCII") || StatusText().contains("character")) << StatusText().toStdString();
    EXPECT_EQ("Warm Pad", ControlText(Parameter(ParamSection::Common, "Name")).trimmed());
    EXPECT_EQ(1, Pane().UndoStack()->count());
}

// One undo step per gesture: a key held, a slider dragged, a stroke across the bars.
TEST_F(EditorTest, UndoTakesBackOneGestureAtATime)
{
    SelectRow(2);
    const CBank::ProgramData original = Pane().Program();
    const CParameter& cutoff = Parameter(ParamSection::Timbre1, "Cutoff");
    FindParameter("cutoff");
    QWidget* spin = QApplication::focusWidget();
    // Up held: a press, repeats, a release.
    QTest::keyPress(spin, Qt::Key_Up);
    for (int i = 0; i < 10; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(spin, &repeat);
    }
    QTest::keyRelease(spin, Qt::Key_Up);
    fixture.Idle();
    const CBank::ProgramData held = Pane().Program();
    EXPECT_GT(held[58], original[58] + 10);
    EXPECT_EQ(1, Pane().UndoStack()->count());
    // Two presses are two steps.
    Type(Qt::Key_Down);
    const CBank::ProgramData pressed = Pane().Program();
    Type(Qt::Key_Down);
    EXPECT_EQ(3, Pane().UndoStack()->count());

    // The slider dragged across its range.
    auto* slider = Pane().ControlOf(cutoff)->Field()->findChild<QSlider*>();
    ASSERT_NE(slider, nullptr);
    // Pressed on its handle, moved to the right end.
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    const QPoint handle =
        slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
    QTest::mousePress(slider, Qt::LeftButton, {}, handle);
    for (int x = handle.x(); x < slider->width() + 20; x += 3)
        QTest::mouseMove(slider, QPoint(x, handle.y()));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() + 20, handle.y()));
    fixture.Idle();
    EXPECT_EQ(4, Pane().UndoStack()->count());
    EXPECT_EQ(127, Pane().Program()[58]);

    // Ctrl+Z in the editor takes back the editor's steps, one gesture each.
    Type(Qt::Key_Z, Qt::ControlModifier);
    Type(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(pressed, Pane().Program());
    Type(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(held, Pane().Program());
    Type(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(original, Pane().Program());
    EXPECT_FALSE(Pane().IsEdited());
    Type(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(held, Pane().Program());

    // Revert goes back to the original, as one more step.
    Trigger(ID_EDITOR_REVERT);
    EXPECT_EQ(original, Pane().Program());
    Type(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(held, Pane().Program());
}

TEST_F(EditorTest, AStrokeAcrossTheBarsIsOneStepAndCtrlZInTheBankUndoesTheBank)
{
    fixture.fileDialogs.nextOpen = {RealFile("ms2000-bank-0x4C.syx")};
    fixture.Bank().OnFileOpenBank();
    SelectRow(2);
    const CBank::ProgramData original = Pane().Program();
    Pane().Tabs()->setCurrentIndex(1);
    fixture.Idle();
    CBarsView* bars = Pane().Tabs()->widget(1)->findChild<CBarsView*>();
    ASSERT_NE(bars, nullptr);
    QTest::mousePress(bars, Qt::LeftButton, {}, QPoint(6, 6));
    for (int x = 6; x < bars->width() - 6; x += 4)
        QTest::mouseMove(bars, QPoint(x, 6 + x % 20));
    QTest::mouseRelease(bars, Qt::LeftButton, {}, QPoint(bars->width() - 6, 6));
    fixture.Idle();
    EXPECT_EQ(1, Pane().UndoStack()->count());
    int changedSteps = 0;
    for (int step = 0; step < 16; ++step)
        changedSteps += original[94 + step] != Pane().Program()[94 + step] ? 1 : 0;
    EXPECT_GT(changedSteps, 8);

    // The bank's slots moved; Ctrl+Z with the keyboard in the bank takes that back, not the
    // editor's stroke.
    ASSERT_TRUE(fixture.Bank().Pane()->MoveSlot(0, 1));
    fixture.Bank().Pane()->Grid()->setFocus();
    fixture.Idle();
    const CBank::ProgramData slot0 = fixture.Bank().Bank()->GetProgram(0);
    Type(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(slot0, fixture.Bank().Bank()->GetProgram(0));
    EXPECT_EQ(1, Pane().UndoStack()->index());
}

TEST_F(EditorTest, ChoosingAnotherProgramWithEditsNotKeptAsksKeepDiscardOrCancel)
{
    SelectRow(0);
    ASSERT_TRUE(Pane().SetParameter(Parameter(ParamSection::Timbre1, "Cutoff"), 90));
    const CBank::ProgramData edited = Pane().Program();

    fixture.questions.answer = SaveChoice::Cancel;
    SelectRow(5);
    ASSERT_EQ(1u, fixture.questions.asked.size());
    EXPECT_EQ(edited, Pane().Program());
    EXPECT_TRUE(Pane().IsEdited());

    fixture.questions.answer = SaveChoice::Discard;
    SelectRow(6);
    EXPECT_EQ(2u, fixture.questions.asked.size());
    EXPECT_EQ(RowProgram(6), Pane().Program());
    EXPECT_EQ(0, Pane().UndoStack()->count());

    // Keep: the edited program goes into the Collection first, from a source of its own.
    ASSERT_TRUE(Pane().SetParameter(Parameter(ParamSection::Timbre1, "Cutoff"), 91));
    const CBank::ProgramData kept = Pane().Program();
    fixture.questions.answer = SaveChoice::Save;
    SelectRow(7);
    EXPECT_EQ(3u, fixture.questions.asked.size());
    EXPECT_EQ(RowProgram(7), Pane().Program());
    CCollection* collection = fixture.features.collection.service->Collection();
    ASSERT_NE(collection, nullptr);
    const std::vector<CCollectionSource> sources = collection->Sources();
    ASSERT_FALSE(sources.empty());
    EXPECT_EQ(SourceKind::Edited, sources.back().kind);
    CollectionProgramData data;
    ASSERT_TRUE(collection->ProgramData(collection->SourcePrograms(sources.back().id).at(0), data));
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), data.begin()));
    // The list's file is untouched, and nothing was asked without edits.
    EXPECT_EQ(RowProgram(6)[58], fixture.frame->Programs().GetAt(6)->GetData()[58]);
    SelectRow(8);
    EXPECT_EQ(3u, fixture.questions.asked.size());
}

TEST_F(EditorTest, SaveProgramAsWritesTheExactBytes)
{
    OpenFiles({RealFile("mk-init-0x40.syx")});
    SelectRow(0);
    fixture.fileDialogs.nextSave = folder.filePath("init.syx");
    Trigger(ID_EDITOR_SAVE_PROGRAM_AS);
    EXPECT_EQ(ReadAll(RealFile("mk-init-0x40.syx")), ReadAll(folder.filePath("init.syx")));

    ASSERT_TRUE(Pane().SetParameter(Parameter(ParamSection::Timbre1, "Resonance"), 77));
    EXPECT_TRUE(Pane().IsEdited());
    // Ctrl+Shift+S while the pane has the keyboard.
    fixture.fileDialogs.nextSave = folder.filePath("edited.syx");
    Type(Qt::Key_E, Qt::ControlModifier);
    Type(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    const CBank::ProgramData program = Pane().Program();
    EXPECT_EQ(BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, program.data(), PROGRAM_DATA_SIZE),
              ReadAll(folder.filePath("edited.syx")));
    EXPECT_FALSE(Pane().IsEdited());   // kept in a file
    // Written atomically; a refused save names the file and the reason.
    fixture.fileDialogs.nextSave = folder.filePath("no/such/folder/x.syx");
    Trigger(ID_EDITOR_SAVE_PROGRAM_AS);
    ASSERT_FALSE(fixture.messageBox.shown.empty());
    EXPECT_TRUE(fixture.messageBox.shown.back().text.contains("x.syx"));
}

TEST_F(EditorTest, KeepInCollectionAndPutInBank)
{
    SelectRow(3);
    ASSERT_TRUE(Pane().SetParameter(Parameter(ParamSection::Timbre1, "Cutoff"), 12));
    const CBank::ProgramData edited = Pane().Program();
    // Ctrl+K while the pane has the keyboard.
    FindParameter("cutoff");
    Type(Qt::Key_K, Qt::ControlModifier);
    EXPECT_FALSE(Pane().IsEdited());
    CCollection* collection = fixture.features.collection.service->Collection();
    const std::vector<CCollectionSource> sources = collection->Sources();
    ASSERT_EQ(SourceKind::Edited, sources.back().kind);
    EXPECT_EQ(0u, sources.back().name.rfind("Edited ", 0));
    CCollectionProgram program;
    ASSERT_TRUE(collection->GetProgram(collection->SourcePrograms(sources.back().id).at(0), program));
    EXPECT_EQ("Boost Bass", program.shownName);

    // Put in Bank: the bank's selected slot, undoable there.
    fixture.fileDialogs.nextOpen = {RealFile("mk-programs-0x4C.syx")};
    fixture.Bank().OnFileOpenBank();
    fixture.Bank().Pane()->SelectSlot(4);
    fixture.Idle();
    SelectRow(3);   // back to the list's Boost Bass, then edited again
    ASSERT_TRUE(Pane().SetParameter(Parameter(ParamSection::Timbre1, "Resonance"), 1));
    const CBank::ProgramData put = Pane().Program();
    const CBank::ProgramData before = fixture.Bank().Bank()->GetProgram(4);
    Trigger(ID_EDITOR_PUT_IN_BANK);
    EXPECT_EQ(put, fixture.Bank().Bank()->GetProgram(4));
    EXPECT_FALSE(Pane().IsEdited());
    fixture.Bank().Pane()->UndoStack()->undo();
    EXPECT_EQ(before, fixture.Bank().Bank()->GetProgram(4));
    (void)edited;
}

// The selection is followed from the bank and the last Random program opens in the editor.
TEST_F(EditorTest, TheEditorFollowsTheBankAndOpensTheLastRandomProgram)
{
    fixture.fileDialogs.nextOpen = {RealFile("ms2000-bank-0x4C.syx")};
    fixture.Bank().OnFileOpenBank();
    fixture.Bank().Pane()->SelectSlot(9);
    fixture.Idle();
    EXPECT_EQ(fixture.Bank().Bank()->GetProgram(9), Pane().Program());
    EXPECT_TRUE(Pane().ProgramTitle().startsWith("Bank A 010")) << Pane().ProgramTitle().toStdString();

    ClickMidiActive();
    Trigger(ID_PROGRAM_RANDOM);
    ASSERT_EQ(1u, Sent().size());
    const Bytes message = Sent()[0];
    EXPECT_EQ(BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, Pane().Program().data(), PROGRAM_DATA_SIZE), message);
    EXPECT_EQ("The last Random program", Pane().ProgramTitle());
}

}  // namespace
