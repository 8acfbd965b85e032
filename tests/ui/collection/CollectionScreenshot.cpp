// Saves a picture of the main window with the Collection view open, for review and for the
// README: real dumps taken into a new Collection in a temporary folder, a few programs marked
// as favourites and tagged, the list holding one of the dumps, and "bass" typed in the view's
// search field with one row selected.
// Usage: collection_screenshot OUT.png [REALDATA_FOLDER]

#include "Collection.h"
#include "FrameTestSupport.h"
#include "Resources.h"
#include "collection/CollectionCommands.h"
#include "collection/CollectionModel.h"
#include "collection/CollectionView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [REALDATA_FOLDER]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Veltrix");
    const QDir realdata(argc > 2 ? QString(argv[2]) : QString(VELTRIX_REALDATA_DIR));

    QTemporaryDir folder;
    std::string error, notice;
    auto collection = CCollection::Open(folder.filePath("collection.sqlite").toStdString(), error, notice);
    if (!collection) {
        std::fprintf(stderr, "cannot make a Collection: %s\n", error.c_str());
        return 1;
    }
    for (const char* name : {"ms2000-bank-0x4C.syx", "mk-current-A11-0x40.syx", "mk-init-0x40.syx"}) {
        CImportResult result;
        if (!collection->ImportFile(realdata.filePath(name).toStdString(), result, error)) {
            std::fprintf(stderr, "cannot take in %s: %s\n", name, error.c_str());
            return 1;
        }
    }
    CCollectionQuery query;
    query.text = "bass";
    const std::vector<CCollectionProgram> basses = collection->Search(query);
    for (std::size_t i = 0; i < basses.size(); ++i) {
        if (i % 3 == 0)
            collection->SetFavourite(basses[i].id, true, error);
        collection->AddTag(basses[i].id, i % 2 == 0 ? "low end" : "acid", error);
    }

    CFrameFixture fixture;
    fixture.midi.AddDevice("UM-ONE MIDI 1");
    fixture.profile.values["midi/chan"] = "0";
    CMainFrame& frame = fixture.Create();
    frame.resize(1040, 720);
    frame.show();
    fixture.fileDialogs.nextOpen = {realdata.filePath("ms2000-bank-0x4C.syx")};
    frame.OnFileOpen();

    CCollectionCommands& view = *fixture.features.collectionView;
    view.SetCollection(collection.get());
    QApplication::setActiveWindow(&frame);
    view.Action(ID_VIEW_COLLECTION)->trigger();
    view.View()->SearchField()->setText("bass");
    fixture.Idle();
    QApplication::processEvents();
    view.View()->SelectIds({view.View()->Model()->Program(2)->id});
    frame.resize(1040, 720);
    frame.resizeDocks({view.Pane()}, {380}, Qt::Vertical);
    QApplication::processEvents();

    if (!frame.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
