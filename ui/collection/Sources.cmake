# Sources of ui/collection/, relative to ui/: the Collection view and the commands on its
# programs.
list(APPEND VELTRIX_UI_SOURCES
  collection/CollectionCommands.cpp
  collection/CollectionDump.cpp
  collection/CollectionExport.cpp
  collection/CollectionFilters.cpp
  collection/CollectionModel.cpp
  collection/CollectionTable.cpp
  collection/CollectionTags.cpp
  collection/CollectionView.cpp
)
