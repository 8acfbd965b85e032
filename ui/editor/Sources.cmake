# Sources of ui/editor/, relative to ui/.
list(APPEND VELTRIX_UI_SOURCES
  editor/ColumnsLayout.cpp
  editor/EditorCommands.cpp
  editor/EditorFollowing.cpp
  editor/EditorLiveLink.cpp
  editor/EditorPage.cpp
  editor/EditorUndo.cpp
  editor/ParameterControl.cpp
  editor/ParameterFind.cpp
  editor/PictureViews.cpp
  editor/ProgramEditorEdits.cpp
  editor/ProgramEditorPane.cpp
)
