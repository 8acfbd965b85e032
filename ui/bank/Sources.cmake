# Sources of ui/bank/, relative to ui/.
list(APPEND VELTRIX_UI_SOURCES
  bank/BankCommands.cpp
  bank/BankGrid.cpp
  bank/BankPane.cpp
  bank/BankUndo.cpp
  bank/LastBank.cpp
  bank/ProgramMime.cpp
)
