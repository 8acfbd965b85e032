# Sources of ui/desktop/, relative to ui/: the window at home on the desktop (dropped files,
# files from the command line, recent files).
list(APPEND VELTRIX_UI_SOURCES
  desktop/FileDropTarget.cpp
  desktop/GridDump.cpp
  desktop/RecentFiles.cpp
  desktop/SyxPaths.cpp
  desktop/UserGuide.cpp
)
