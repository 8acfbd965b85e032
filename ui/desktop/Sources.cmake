# Sources of ui/desktop/, relative to ui/: the window at home on the desktop (dropped files,
# files from the command line, recent files) and the library helpers that go with them.
list(APPEND VELTRIX_UI_SOURCES
  desktop/DuplicateMarking.cpp
  desktop/FileDropTarget.cpp
  desktop/GridDump.cpp
  desktop/RecentFiles.cpp
  desktop/SelectedRows.cpp
  desktop/SyxPaths.cpp
)
