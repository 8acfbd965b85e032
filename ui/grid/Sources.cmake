# Sources of ui/grid/, relative to ui/.
list(APPEND VELTRIX_UI_SOURCES
  grid/GridListCtrl.cpp
  grid/GridListCtrlInput.cpp
  grid/GridListCtrlPaint.cpp
  grid/GridModel.cpp
  grid/GridRowDelegate.cpp
  grid/ProgramGrid.cpp
  grid/VirtualKeys.cpp
)
