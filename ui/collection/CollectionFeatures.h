#pragma once
// The Collection's part of the window, made in one step by the window's composition: the
// database handle and the taking in of what is opened and received.

#include <string>

class CCollectionBankCommands;
class CCollectionDailyBackup;
class CCollectionMoves;
class CCollectionService;
class CCollectionTakeIn;
class CSynthCommands;
class IBankAccess;
class ICommandHost;
class ILoadedList;
struct CUiServices;

struct CCollectionFeatures {
    CCollectionService* service = nullptr;   // children of the window
    CCollectionTakeIn* takeIn = nullptr;
    CCollectionBankCommands* bank = nullptr;   // with a bank only
    CCollectionDailyBackup* dailyBackup = nullptr;
    CCollectionMoves* moves = nullptr;         // File > Collection
};

// Made once the window's menus exist; `bank` may be null. `path` empty: the default database.
CCollectionFeatures ComposeCollection(ICommandHost& host, ILoadedList& library, IBankAccess* bank,
                                      const CUiServices& services, const std::string& path = {});
// Every dump `synth` receives is taken in as a synth source.
void TakeInReceives(const CCollectionFeatures& features, CSynthCommands& synth);
// Every file Open Bank... reads is taken in as the other Opens' files are, while Keep Opened
// Files in Collection is ticked.
void TakeInBankFiles(const CCollectionFeatures& features, IBankAccess& bank);
