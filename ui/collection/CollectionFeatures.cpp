#include "CollectionFeatures.h"

#include "CollectionBankCommands.h"
#include "CollectionDailyBackup.h"
#include "CollectionMoves.h"
#include "CollectionService.h"
#include "CollectionTakeIn.h"
#include "Resources.h"
#include "host/BankAccess.h"
#include "host/CommandHost.h"
#include "services/CommandTable.h"
#include "host/LoadedList.h"
#include "services/UiServices.h"
#include "synth/SynthCommands.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include <ctime>

CCollectionFeatures ComposeCollection(ICommandHost& host, ILoadedList& library, IBankAccess* bank,
                                      const CUiServices& services, const std::string& path)
{
    CCollectionFeatures features;
    features.service = new CCollectionService(host, *services.messageBox, path, host.Window());
    features.takeIn = new CCollectionTakeIn(*features.service, host, library, *services.profile);
    if (bank != nullptr)
        features.bank = new CCollectionBankCommands(*features.service, host, *bank, *services.messageBox);

    features.dailyBackup = new CCollectionDailyBackup(*features.service, host, host.Window());
    features.moves = new CCollectionMoves(*features.service, *features.takeIn, features.dailyBackup, host, services);

    // The File menu's group of the Collection's commands, above Exit.
    QList<QAction*> group{features.takeIn->KeepAction()};
    if (features.bank != nullptr)
        group << features.bank->SaveAction() << features.bank->OpenAction();
    group << features.moves->Menu()->menuAction();
    InsertGroupAbove(*host.Menu(HostMenu::File), host.Action(ID_APP_EXIT), group);
    return features;
}

void TakeInReceives(const CCollectionFeatures& features, CSynthCommands& synth)
{
    CCollectionTakeIn* takeIn = features.takeIn;
    synth.WhenReceived([takeIn](const std::vector<unsigned char>& dump) {
        takeIn->TakeInSynthDump(dump, static_cast<std::int64_t>(std::time(nullptr)));
    });
}

void TakeInBankFiles(const CCollectionFeatures& features, IBankAccess& bank)
{
    CCollectionTakeIn* takeIn = features.takeIn;
    bank.WhenBankFileRead([takeIn](const QString& path) { takeIn->TakeInFiles({path}); });
}
