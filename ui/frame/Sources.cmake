# Sources of ui/frame/, relative to ui/.
list(APPEND VELTRIX_UI_SOURCES
  frame/AboutDlg.cpp
  frame/Composition.cpp
  frame/DialogUnits.cpp
  frame/FeatureHost.cpp
  frame/FindDlg.cpp
  frame/FirstStartSize.cpp
  frame/LibraryView.cpp
  frame/MainFrame.cpp
  frame/MidiCommands.cpp
  frame/SaveLastRandom.cpp
  frame/VeltrixApp.cpp
  frame/WindowPlacement.cpp
)
