# Sources of ui/parameters/, relative to ui/: a program's parameters in the window: the
# instrument they are shown for (View > Synthesizer), the list of the parameters two programs
# differ in, and Compare Programs... on the last two programs selected.
list(APPEND VELTRIX_UI_SOURCES
  parameters/CompareProgramsCommand.cpp
  parameters/CompareProgramsWindow.cpp
  parameters/LastSelectedPrograms.cpp
  parameters/ParameterDifferenceList.cpp
  parameters/SynthModelSetting.cpp
)
