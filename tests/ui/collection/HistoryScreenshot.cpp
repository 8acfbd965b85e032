// Saves a picture of the History window for the user guide: the real MS2000 bank taken into a
// new Collection (in a temporary folder) as a file, and a receive of it after an evening's
// edits (four parameters of one program, another renamed, a third reworked), compared with
// Differences only on and the edited program's parameters listed below the slots.
// Usage: history_screenshot OUT.png [REALDATA_FOLDER]

#include "Bank.h"
#include "Collection.h"
#include "FrameTestSupport.h"
#include "ProgramParameters.h"
#include "collection/CollectionHistory.h"
#include "collection/CollectionHistoryCommand.h"
#include "collection/CollectionService.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {
// Moves a parameter by `delta` within its range.
void Turn(CBank::ProgramData& program, ParamSection section, const char* name, int delta)
{
    const CParameter* parameter = FindParameter(section, name);
    if (parameter == nullptr) {
        std::fprintf(stderr, "no parameter %s\n", name);
        return;
    }
    int low = 0, high = 0;
    Range(*parameter, program.data(), low, high);
    SetValue(*parameter, program.data(), std::clamp(Value(*parameter, program.data()) + delta, low, high));
}

int FirstSlotOfMode(const CBank& bank, int voiceMode, int from)
{
    for (int slot = from; slot < BANK_SLOT_COUNT; ++slot)
        if (((bank.GetProgram(slot)[16] >> 4) & 3) == voiceMode)
            return slot;
    return from;
}

int Index(const QComboBox& box, const QString& start)
{
    for (int i = 0; i < box.count(); ++i)
        if (box.itemText(i).startsWith(start))
            return i;
    return 0;
}
}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [REALDATA_FOLDER]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window's Collection lives in the temporary folder, never in the user's.
    QTemporaryDir folder;
    qputenv("XDG_DATA_HOME", folder.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setApplicationName("Veltrix");
    const QDir realdata(argc > 2 ? QString(argv[2]) : QString(VELTRIX_REALDATA_DIR));
    const std::string bankFile = realdata.filePath("ms2000-bank-0x4C.syx").toStdString();

    std::string error;
    const std::optional<CBank> original = CBank::ReadFile(bankFile, error);
    if (!original) {
        std::fprintf(stderr, "cannot read %s: %s\n", bankFile.c_str(), error.c_str());
        return 1;
    }
    CBank edited = *original;
    const int tweaked = FirstSlotOfMode(*original, 0, 4);
    CBank::ProgramData program = edited.GetProgram(tweaked);
    Turn(program, ParamSection::Timbre1, "Cutoff", -18);
    Turn(program, ParamSection::Timbre1, "Resonance", 25);
    Turn(program, ParamSection::Timbre1, "EG1 Decay", 30);
    Turn(program, ParamSection::Common, "Delay Depth", -40);
    edited.PutProgram(tweaked, program.data(), PROGRAM_DATA_SIZE);
    program = edited.GetProgram(tweaked + 3);
    SetProgramName(program.data(), "Late Night", error);
    edited.PutProgram(tweaked + 3, program.data(), PROGRAM_DATA_SIZE);
    const int reworked = FirstSlotOfMode(*original, 1, 20);
    program = edited.GetProgram(reworked);
    Turn(program, ParamSection::Timbre2, "OSC2 Semitone", 7);
    Turn(program, ParamSection::Timbre2, "Amp Level", -30);
    edited.PutProgram(reworked, program.data(), PROGRAM_DATA_SIZE);

    CFrameFixture fixture;
    CMainFrame& frame = fixture.Create();
    CCollectionService* service = fixture.features.collection.service;
    {
        std::string notice;
        auto collection = CCollection::Open(service->Path(), error, notice);
        CImportResult result;
        if (!collection || !collection->ImportFile(bankFile, result, error, 1765180800)
            || !collection->ImportSynthDump(edited.BuildDump(0), result, error, 1765209600)) {
            std::fprintf(stderr, "cannot make the Collection: %s\n", error.c_str());
            return 1;
        }
    }
    frame.resize(1040, 720);
    fixture.Idle();
    fixture.features.collectionHistory->Action()->trigger();
    CCollectionHistory& history = *fixture.features.collectionHistory->Window();
    history.FirstBox()->setCurrentIndex(Index(*history.FirstBox(), "File: "));
    history.SecondBox()->setCurrentIndex(Index(*history.SecondBox(), "Synth "));
    history.OnCompare();
    history.Table()->selectRow(tweaked);
    history.resize(760, 640);
    // The layouts settle over a few rounds of events.
    for (int round = 0; round < 3; ++round)
        QApplication::processEvents();

    if (!history.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
