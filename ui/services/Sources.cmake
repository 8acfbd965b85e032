# Sources of ui/services/, relative to ui/.
list(APPEND VELTRIX_UI_SOURCES
  services/AtomicSave.cpp
  services/CommandTable.cpp
  services/CommandUpdater.cpp
  services/DisabledCommandTips.cpp
  services/FileDialogService.cpp
  services/MessageBoxService.cpp
  services/PostMessage.cpp
  services/ProtectedFiles.cpp
  services/Profile.cpp
  services/QuestionService.cpp
  services/SendGate.cpp
  services/WaitCursor.cpp
)
