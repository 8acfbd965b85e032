// The commands on the Collection view's selected programs, in a main window on a real
// database in a temporary folder: each one's effect is read back from the database (through
// a second connection, as veltrix-cli would), the files written, the list, the bank and the
// MIDI port.

#include "CollectionTestSupport.h"
#include "FrameTestSupport.h"
#include "ProgramList.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "SyxProgram.h"
#include "bank/BankCommands.h"
#include "bank/BankPane.h"
#include "bank/ProgramMime.h"
#include "collection/CollectionCommands.h"
#include "collection/CollectionModel.h"
#include "collection/CollectionTable.h"
#include "collection/CollectionView.h"
#include "grid/ProgramGrid.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

namespace {

class CollectionCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_REAL_DUMPS();
        fixture.midi.AddDevice("UM-ONE MIDI 1");
        fixture.profile.values["midi/chan"] = "0";
        CMainFrame& frame = fixture.Create();
        commands = fixture.features.collectionView;
        db.Import("ms2000-bank-0x4C.syx");
        commands->SetCollection(&db.Db());
        frame.resize(1000, 700);
        frame.show();
        QApplication::setActiveWindow(&frame);
        fixture.Idle();
        commands->Action(ID_VIEW_COLLECTION)->trigger();
        fixture.Idle();
    }

    CCollectionView& View() { return *commands->View(); }

    // Searches for `text` and selects the programs with these shown names.
    std::vector<CollectionId> Select(const QString& text, const std::vector<std::string>& names)
    {
        View().SearchField()->setText(text);
        std::vector<CollectionId> ids;
        for (const std::string& name : names)
            ids.push_back(db.IdOf(name));
        View().SelectIds(ids);
        fixture.Idle();
        return ids;
    }

    bool Run(int commandId)
    {
        fixture.Idle();
        QAction* action = commands->Action(commandId);
        if (!action->isEnabled())
            return false;
        action->trigger();
        fixture.Idle();
        return true;
    }

    CCollectionProgram Read(CollectionId id)
    {
        CCollectionProgram program;
        EXPECT_TRUE(db.OpenAgain()->GetProgram(id, program));
        return program;
    }

    CFrameFixture fixture;
    CTestCollection db;
    CCollectionCommands* commands = nullptr;   // the window's own
};

// Answers the next Tags... dialog with `text`, once it shows.
void AnswerTags(const QString& text)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, text] {
        if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            dialog->setTextValue(text);
            dialog->accept();
            timer->deleteLater();
        }
    });
    timer->start(5);
}

TEST_F(CollectionCommandsTest, CtrlLShowsTheViewWithTheSearchFieldFocused)
{
    EXPECT_TRUE(commands->Pane()->isVisible());
    EXPECT_TRUE(commands->Action(ID_VIEW_COLLECTION)->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), View().SearchField());
    // Pressed again from within the view, it hides it.
    commands->Action(ID_VIEW_COLLECTION)->trigger();
    EXPECT_FALSE(commands->Pane()->isVisible());
}

TEST_F(CollectionCommandsTest, WithNoSelectionTheCurrentRowIsWhatTheCommandsTake)
{
    Select("pad", {});
    CCollectionTable* table = View().Table();
    ASSERT_GT(View().Model()->rowCount(), 1);
    table->selectionModel()->clear();
    table->selectionModel()->setCurrentIndex(View().Model()->index(1, 0), QItemSelectionModel::NoUpdate);
    fixture.Idle();
    const CollectionId current = View().Model()->Program(1)->id;
    EXPECT_EQ(View().SelectedIds(), std::vector<CollectionId>{current});
    ASSERT_TRUE(Run(ID_COLLECTION_FAVOURITE));
    EXPECT_TRUE(Read(current).favourite);
    EXPECT_FALSE(Read(View().Model()->Program(0)->id).favourite);
}

TEST_F(CollectionCommandsTest, FavouriteHideAndTagsAreInTheDatabaseAtOnce)
{
    const std::vector<CollectionId> ids = Select("pad", {"Royal Pad", "Silk Pad"});

    // Ctrl+D in the table marks both; again, both lose the mark.
    View().Table()->setFocus();
    QTest::keyClick(View().Table(), Qt::Key_D, Qt::ControlModifier);
    fixture.Idle();
    for (CollectionId id : ids)
        EXPECT_TRUE(Read(id).favourite);
    QTest::keyClick(View().Table(), Qt::Key_D, Qt::ControlModifier);
    fixture.Idle();
    for (CollectionId id : ids)
        EXPECT_FALSE(Read(id).favourite);

    // Tags...: what both share is offered; what is taken out or added is applied to each.
    AnswerTags("warm, Soft");
    ASSERT_TRUE(Run(ID_COLLECTION_TAGS));
    for (CollectionId id : ids)
        EXPECT_EQ(Read(id).tags, (std::vector<std::string>{"Soft", "warm"}));
    View().SelectIds({ids[0]});
    AnswerTags("soft, airy");
    ASSERT_TRUE(Run(ID_COLLECTION_TAGS));
    EXPECT_EQ(Read(ids[0]).tags, (std::vector<std::string>{"airy", "Soft"}));
    EXPECT_EQ(Read(ids[1]).tags, (std::vector<std::string>{"Soft", "warm"}));

    // Hide: gone from the search, listed under Hidden, and back with Unhide.
    View().SelectIds(ids);
    ASSERT_TRUE(Run(ID_COLLECTION_HIDE));
    EXPECT_TRUE(Read(ids[0]).hidden);
    EXPECT_EQ(View().Model()->RowOf(ids[0]), -1);
    const int hidden = View().FilterBox()->findText("Hidden");
    View().FilterBox()->setCurrentIndex(hidden);
    emit View().FilterBox()->activated(hidden);
    View().SelectIds(ids);
    ASSERT_TRUE(Run(ID_COLLECTION_HIDE));
    EXPECT_FALSE(Read(ids[0]).hidden);
    EXPECT_FALSE(Read(ids[1]).hidden);
}

TEST_F(CollectionCommandsTest, RenameThenExportOneAndSeveralCarryTheShownName)
{
    const CollectionId silk = Select("silk", {"Silk Pad"}).front();
    ASSERT_TRUE(Run(ID_COLLECTION_RENAME));
    auto* editor = View().Table()->findChild<QLineEdit*>("nameEditor");
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "Satin/Pad");
    QTest::keyClick(editor, Qt::Key_Return);   // the editor commits once events run
    fixture.Idle();
    EXPECT_EQ(Read(silk).shownName, "Satin/Pad");

    // One program: a one-program file carrying the new name.
    const QString one = QDir(db.Folder()).filePath("one.syx");
    fixture.fileDialogs.nextSave = one;
    View().SelectIds({silk});
    ASSERT_TRUE(Run(ID_COLLECTION_EXPORT));
    EXPECT_EQ(QFileInfo(one).size(), 297);
    CProgramList list;
    std::string error;
    ASSERT_TRUE(list.ReadSyxFile(one.toStdString(), error, "one")) << error;
    EXPECT_EQ(list.GetAt(0)->GetName(), "Satin/Pad");

    // Several: one file each in the chosen folder, numbered in the view's order.
    Select("", {"Satin/Pad", "Glass"});
    fixture.fileDialogs.nextFolder = QDir(db.Folder()).filePath("export");
    ASSERT_TRUE(Run(ID_COLLECTION_EXPORT));
    EXPECT_EQ(QDir(fixture.fileDialogs.nextFolder).entryList(QDir::Files),
              (QStringList{"01 Glass.syx", "02 Satin_Pad.syx"}));
    for (const QString& file : QDir(fixture.fileDialogs.nextFolder).entryList(QDir::Files))
        EXPECT_EQ(QFileInfo(QDir(fixture.fileDialogs.nextFolder).filePath(file)).size(), 297) << file.toStdString();
    EXPECT_TRUE(fixture.messageBox.shown.empty());

    // A folder that cannot be written is told, once.
    fixture.fileDialogs.nextFolder = "/proc/no-such-folder";
    ASSERT_TRUE(Run(ID_COLLECTION_EXPORT));
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].text, "Doh ! Failed to save syx file, check file name and drive space.");
}

TEST_F(CollectionCommandsTest, ShowInListAddsOneSourceNamedCollection)
{
    Select("bass", {"Boost Bass", "Sub Bass", "Zap Bass"});
    ASSERT_TRUE(Run(ID_COLLECTION_SHOW_IN_LIST));
    const CProgramList& programs = fixture.Frame().Programs();
    ASSERT_EQ(programs.GetSize(), 3);
    EXPECT_EQ(fixture.Frame().FileCount(), 1);
    EXPECT_EQ(fixture.Frame().windowTitle(), "Veltrix - [Collection]");
    std::vector<std::string> names;
    for (int i = 0; i < programs.GetSize(); ++i) {
        EXPECT_EQ(programs.GetAt(i)->GetFileName(), "Collection");
        names.push_back(programs.GetAt(i)->GetName());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Boost Bass", "Sub Bass", "Zap Bass"}));
    EXPECT_EQ(programs.GetAt(2)->GetNumberText(), "003");
}

TEST_F(CollectionCommandsTest, PutInBankDragAndAuditionUseTheProgramsBytes)
{
    const std::vector<CollectionId> ids = Select("pad", {"Light Pad", "Motion Pad"});
    std::vector<CollectionProgramData> data(2);
    for (std::size_t i = 0; i < 2; ++i)
        ASSERT_TRUE(db.Db().ProgramData(ids[i], data[i]));

    EXPECT_FALSE(Run(ID_COLLECTION_PUT_IN_BANK));   // no bank yet
    fixture.fileDialogs.nextOpen = {RealDump("mk-programs-0x4C.syx")};
    fixture.Bank().OnFileOpenBank();
    fixture.Bank().Pane()->SelectSlot(5);
    ASSERT_TRUE(Run(ID_COLLECTION_PUT_IN_BANK));
    const CBank* bank = fixture.Bank().Pane()->Bank();
    EXPECT_EQ(bank->GetProgram(5), data[0]);
    EXPECT_EQ(bank->GetProgram(6), data[1]);

    // A drag carries the same bytes as the list's drags do.
    View().SelectIds(ids);
    const std::unique_ptr<QMimeData> mime(View().Table()->CreateDragData());
    int dragged = 0;
    EXPECT_EQ(ProgramsFromMimeData(mime.get(), &dragged), std::vector<CBank::ProgramData>(data.begin(), data.end()));
    EXPECT_EQ(dragged, 2);

    // Audition: disabled while MIDI is off; then the current program goes out as the grid's does.
    EXPECT_FALSE(Run(ID_COLLECTION_AUDITION));
    fixture.Frame().findChild<QCheckBox*>("midiActive")->click();
    View().Table()->setFocus();
    View().Table()->setCurrentIndex(View().Model()->index(View().Model()->RowOf(ids[1]), 0));
    QTest::keyClick(View().Table(), Qt::Key_Return);
    fixture.Idle();
    const auto messages = fixture.midi.GetMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, data[1].data(), PROGRAM_DATA_SIZE));
}

TEST_F(CollectionCommandsTest, CtrlAActsOnTheWidgetWithTheFocus)
{
    fixture.Frame().OpenFiles({RealDump("ms2000-bank-0x4C.syx")}, ILoadedList::ReadFailures::BoxForEach);
    fixture.Frame().Grid()->setCurrentIndex(fixture.Frame().Grid()->model()->index(0, 0));
    View().SearchField()->setText("pad");
    fixture.Idle();
    const int rows = View().Model()->rowCount();
    ASSERT_GT(rows, 1);
    enum class Target { Table, SearchField, Grid };
    const struct {
        Target target;
        bool midiActive;   // Audition is disabled while MIDI is off
        bool auditioned;
    } cases[] = {
        {Target::Table, false, false},
        {Target::SearchField, false, false},
        {Target::Table, true, false},
        {Target::SearchField, true, false},
        {Target::Grid, true, true},
    };
    for (const auto& c : cases) {
        auto* midi = fixture.Frame().findChild<QCheckBox*>("midiActive");
        if (midi->isChecked() != c.midiActive)
            midi->click();
        View().Table()->clearSelection();
        View().SearchField()->deselect();
        const std::size_t sent = fixture.midi.GetMessages().size();
        QWidget* target = c.target == Target::Table         ? static_cast<QWidget*>(View().Table())
                          : c.target == Target::SearchField ? static_cast<QWidget*>(View().SearchField())
                                                            : static_cast<QWidget*>(fixture.Frame().Grid());
        target->setFocus();
        fixture.Idle();
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
        fixture.Idle();
        const int index = static_cast<int>(&c - cases);
        EXPECT_EQ(View().Table()->selectionModel()->selectedRows().size(), c.target == Target::Table ? rows : 0) << index;
        EXPECT_EQ(View().SearchField()->selectedText(), c.target == Target::SearchField ? "pad" : "") << index;
        EXPECT_EQ(fixture.midi.GetMessages().size() - sent, c.auditioned ? 1u : 0u) << index;
    }
}

// The name's editor that is open now (one closed a moment ago may not be deleted yet).
QLineEdit* OpenEditor(QWidget* table)
{
    for (QLineEdit* editor : table->findChildren<QLineEdit*>("nameEditor"))
        if (editor->isVisible())
            return editor;
    return nullptr;
}

TEST_F(CollectionCommandsTest, AfterF2AndReturnTheKeysGoOnFromTheRenamedRow)
{
    const CollectionId light = db.IdOf("Light Pad");
    const CollectionId motion = db.IdOf("Motion Pad");
    Select("pad", {"Light Pad"});
    CCollectionTable* table = View().Table();
    table->setFocus();
    const auto rename = [this, table](const char* name) {
        QTest::keyClick(table, Qt::Key_F2);
        QLineEdit* editor = OpenEditor(table);
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, name);
        QTest::keyClick(editor, Qt::Key_Return);
        fixture.Idle();
    };
    rename("Lamp Pad");
    EXPECT_EQ(Read(light).shownName, "Lamp Pad");
    EXPECT_EQ(fixture.Frame().statusBar()->currentMessage(), "Renamed \"Light Pad\" to \"Lamp Pad\"");
    EXPECT_EQ(QApplication::focusWidget(), table);
    ASSERT_TRUE(table->currentIndex().isValid());
    EXPECT_EQ(View().Model()->Program(table->currentIndex().row())->id, light);

    // Down, then F2 renames the next program; Ctrl+D marks it at once.
    QTest::keyClick(table, Qt::Key_Down);
    rename("Mover Pad");
    EXPECT_EQ(Read(motion).shownName, "Mover Pad");
    EXPECT_EQ(Read(light).shownName, "Lamp Pad");
    QTest::keyClick(table, Qt::Key_D, Qt::ControlModifier);
    fixture.Idle();
    EXPECT_TRUE(Read(motion).favourite);
    EXPECT_FALSE(Read(light).favourite);
}

TEST_F(CollectionCommandsTest, TabLeavesTheTableAndNoTwoItemsOfAMenuShareAKey)
{
    Select("pad", {"Silk Pad"});
    CCollectionTable* table = View().Table();
    table->setFocus();
    const QModelIndex current = table->currentIndex();
    QTest::keyClick(table, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), table);
    EXPECT_EQ(table->currentIndex(), current);
    EXPECT_EQ(View().SelectedIds(), std::vector<CollectionId>{db.IdOf("Silk Pad")});

    for (QMenu* menu : {commands->ContextMenu(), commands->Menu()}) {
        SCOPED_TRACE(menu->objectName().toStdString());
        std::map<QChar, QString> keys;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            const QString text = action->text().section('\t', 0, 0);
            const int amp = text.indexOf('&');
            ASSERT_GE(amp, 0) << text.toStdString() << " has no key";
            const QChar key = text.at(amp + 1).toLower();
            EXPECT_TRUE(keys.emplace(key, text).second)
                << text.toStdString() << " and " << keys[key].toStdString() << " share " << QString(key).toStdString();
        }
    }
}

TEST_F(CollectionCommandsTest, UndoAndRedoTakeBackAndMakeAgainEachChangeOfTheView)
{
    const std::vector<CollectionId> ids = Select("pad", {"Royal Pad", "Silk Pad"});
    View().Table()->setFocus();
    fixture.Idle();
    QAction* undo = fixture.Bank().Action(ID_EDIT_UNDO);
    QAction* redo = fixture.Bank().Action(ID_EDIT_REDO);
    struct Case {
        const char* what;
        std::function<void()> make;
        std::function<bool(const CCollectionProgram&)> made;
    };
    const Case cases[] = {
        {"favourite", [&] { QTest::keyClick(View().Table(), Qt::Key_D, Qt::ControlModifier); },
         [](const CCollectionProgram& p) { return p.favourite; }},
        {"tags", [&] { AnswerTags("warm"); Run(ID_COLLECTION_TAGS); },
         [](const CCollectionProgram& p) { return p.tags == std::vector<std::string>{"warm"}; }},
        {"hide", [&] { Run(ID_COLLECTION_HIDE); }, [](const CCollectionProgram& p) { return p.hidden; }},
        {"rename", [&] { std::string error; View().Rename(ids[0], "Regal Pad", error); },
         [](const CCollectionProgram& p) { return p.shownName == "Regal Pad"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        View().SelectIds(ids);
        View().Table()->setFocus();
        c.make();
        fixture.Idle();
        ASSERT_TRUE(c.made(Read(ids[0])));
        ASSERT_TRUE(undo->isEnabled());
        EXPECT_NE(undo->text(), "&Undo");   // named after the step

        // Ctrl+Z in the view, then Edit > Redo and Undo again. (Offscreen, the window is not
        // made active again after the Tags dialog on its own.)
        QApplication::setActiveWindow(&fixture.Frame());
        View().Table()->setFocus();
        QTest::keyClick(View().Table(), Qt::Key_Z, Qt::ControlModifier);
        fixture.Idle();
        EXPECT_FALSE(c.made(Read(ids[0])));
        EXPECT_TRUE(fixture.Frame().statusBar()->currentMessage().startsWith("Undone: "));
        ASSERT_NE(View().Model()->RowOf(ids[0]), -1);   // shown again, as it was
        EXPECT_EQ(View().Model()->Program(View().Model()->RowOf(ids[0]))->shownName, Read(ids[0]).shownName);
        ASSERT_TRUE(redo->isEnabled());
        redo->trigger();
        fixture.Idle();
        EXPECT_TRUE(c.made(Read(ids[0])));
        undo->trigger();
        fixture.Idle();
        EXPECT_FALSE(c.made(Read(ids[0])));
    }
    // Out of the view, Undo is the bank's again (which has no steps).
    fixture.Frame().Grid()->setFocus();
    fixture.Idle();
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(CollectionCommandsTest, TheFirstPaneShowsTenRowsAndEachColumnFitsWhatItHolds)
{
    CCollectionTable* table = View().Table();
    const int rowHeight = table->verticalHeader()->defaultSectionSize();
    EXPECT_GE(table->viewport()->height(), 10 * rowHeight);

    // As wide as the widest text in sight, and no column takes what is left over.
    QHeaderView* header = table->horizontalHeader();
    const QFontMetrics metrics = table->fontMetrics();
    for (int column : {int(CCollectionModel::NAME), int(CCollectionModel::MODE), int(CCollectionModel::FIRST_SEEN)}) {
        int widest = 0;
        for (int row = table->rowAt(0); row >= 0 && row <= table->rowAt(table->viewport()->height() - 1); ++row)
            widest = std::max(widest, metrics.horizontalAdvance(
                                          View().Model()->data(View().Model()->index(row, column), Qt::DisplayRole).toString()));
        SCOPED_TRACE(column);
        EXPECT_GE(header->sectionSize(column), widest);
        EXPECT_LE(header->sectionSize(column), std::max(widest, header->sectionSizeHint(column)) + 4 * metrics.height());
    }
}

TEST_F(CollectionCommandsTest, EachCommandSaysWhatItDid)
{
    fixture.fileDialogs.nextOpen = {RealDump("mk-programs-0x4C.syx")};
    fixture.Bank().OnFileOpenBank();
    fixture.Bank().Pane()->SelectSlot(3);
    fixture.Frame().findChild<QCheckBox*>("midiActive")->click();
    fixture.fileDialogs.nextSave = QDir(db.Folder()).filePath("silk.syx");
    const auto status = [this] { return fixture.Frame().statusBar()->currentMessage(); };
    const struct {
        int command;
        QString said;
    } cases[] = {
        {ID_COLLECTION_AUDITION, "Auditioning \"Silk Pad\""},
        {ID_COLLECTION_PUT_IN_BANK, "Put in the bank at A 004"},
        {ID_COLLECTION_SHOW_IN_LIST, "Added 1 program to the end of the list, as \"Collection\""},
        {ID_COLLECTION_FAVOURITE, "Marked \"Silk Pad\" as favourite"},
        {ID_COLLECTION_FAVOURITE, "\"Silk Pad\" no longer favourite"},
        {ID_COLLECTION_TAGS, "Tags changed on \"Silk Pad\""},
        {ID_COLLECTION_EXPORT, "Exported \"Silk Pad\" to " + QDir::toNativeSeparators(fixture.fileDialogs.nextSave)},
        {ID_COLLECTION_HIDE, "Hid \"Silk Pad\": the Hidden filter shows them"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said.toStdString());
        Select("silk", {"Silk Pad"});
        fixture.Frame().statusBar()->clearMessage();
        if (c.command == ID_COLLECTION_TAGS)
            AnswerTags("warm");
        ASSERT_TRUE(Run(c.command));
        EXPECT_EQ(status(), c.said);
    }
    // The export offered the program's name.
    EXPECT_EQ(fixture.fileDialogs.lastSuggestedName, "Silk Pad.syx");
}

TEST_F(CollectionCommandsTest, ShowInListBringsTheAddedRowsIntoSight)
{
    fixture.Frame().OpenFiles({RealDump("ms2000-bank-0x4C.syx")}, ILoadedList::ReadFailures::BoxForEach);
    fixture.Idle();
    CProgramGrid* grid = fixture.Frame().Grid();
    grid->scrollTo(grid->model()->index(0, 0));
    Select("bass", {"Boost Bass", "Sub Bass", "Zap Bass"});
    ASSERT_TRUE(Run(ID_COLLECTION_SHOW_IN_LIST));
    ASSERT_EQ(grid->model()->rowCount(), 131);
    for (int row = 128; row < 131; ++row)
        EXPECT_TRUE(grid->viewport()->rect().intersects(grid->visualRect(grid->model()->index(row, 0)))) << row;
}

}  // namespace
