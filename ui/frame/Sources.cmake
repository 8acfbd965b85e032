# Sources of ui/frame/, relative to ui/.
list(APPEND VELTRIX_UI_SOURCES
  frame/AboutDlg.cpp
  frame/DialogUnits.cpp
  frame/DisplayName.cpp
  frame/FindDlg.cpp
  frame/LibrarySources.cpp
  frame/LibraryView.cpp
  frame/MainFrame.cpp
  frame/MidiCommands.cpp
  frame/SaveLastRandom.cpp
  frame/VeltrixApp.cpp
)
