# Sources of ui/collection/, relative to ui/: the Collection in the window (its database
# handle, taking in what the window opens and receives, banks kept as lists).
list(APPEND VELTRIX_UI_SOURCES
  collection/CollectionBankCommands.cpp
  collection/CollectionFeatures.cpp
  collection/CollectionPrompts.cpp
  collection/CollectionService.cpp
  collection/CollectionTakeIn.cpp
)
