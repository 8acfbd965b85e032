# The window's resources: command ids and texts, and the pictures painted in code.
list(APPEND VELTRIX_UI_SOURCES
  ${CMAKE_SOURCE_DIR}/resources/Icons.cpp
  ${CMAKE_SOURCE_DIR}/resources/Resources.cpp
)
