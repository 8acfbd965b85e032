# Sources of ui/parameters/, relative to ui/: a program's parameters in the window: the
# instrument they are shown for (View > Synthesizer).
list(APPEND VELTRIX_UI_SOURCES
  parameters/SynthModelSetting.cpp
)
