# Sources of ui/parameters/, relative to ui/: a program's parameters in the window: the
# instrument they are shown for (View > Synthesizer) and the list of the parameters two
# programs differ in.
list(APPEND VELTRIX_UI_SOURCES
  parameters/ParameterDifferenceList.cpp
  parameters/SynthModelSetting.cpp
)
