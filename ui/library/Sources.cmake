# Sources of ui/library/, relative to ui/: what the main window and its features share about
# the loaded library (the files behind it, its duplicates, its selected rows, its texts).
list(APPEND VELTRIX_UI_SOURCES
  library/DisplayName.cpp
  library/DuplicateMarking.cpp
  library/LibraryRows.cpp
  library/LibrarySources.cpp
  library/SelectedRows.cpp
)
