# Sources of ui/collection/, relative to ui/: the Collection in the window (its database
# handle, taking in what the window opens and receives, banks kept as lists), the
# Collection view with the commands on its programs, and the History of banks.
list(APPEND VELTRIX_UI_SOURCES
  collection/CollectionBankCommands.cpp
  collection/CollectionCommands.cpp
  collection/CollectionDump.cpp
  collection/CollectionExport.cpp
  collection/CollectionFeatures.cpp
  collection/CollectionFilters.cpp
  collection/CollectionHistory.cpp
  collection/CollectionHistoryCommand.cpp
  collection/CollectionHistorySources.cpp
  collection/CollectionSendToSlot.cpp
  collection/CollectionModel.cpp
  collection/CollectionModelCells.cpp
  collection/CollectionModelSort.cpp
  collection/CollectionProgramPlace.cpp
  collection/CollectionModelMerge.cpp
  collection/CollectionPrompts.cpp
  collection/CollectionReader.cpp
  collection/CollectionService.cpp
  collection/CollectionTable.cpp
  collection/CollectionTags.cpp
  collection/CollectionTakeIn.cpp
  collection/CollectionUndo.cpp
  collection/CollectionView.cpp
  collection/CollectionTask.cpp
  collection/CollectionMoves.cpp
  collection/CollectionDailyBackup.cpp
  collection/CollectionViewMarks.cpp
  collection/CollectionViewRead.cpp
  collection/CollectionViewReads.cpp
  collection/CollectionViewResults.cpp
)
