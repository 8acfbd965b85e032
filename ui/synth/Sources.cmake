# Sources of ui/synth/, relative to ui/.
list(APPEND VELTRIX_UI_SOURCES
  synth/MidiOperation.cpp
  synth/MidiPortFollower.cpp
  synth/SynthCommands.cpp
  synth/SynthMemoryTracker.cpp
  synth/SlotWriteCommands.cpp
  synth/ChangedSlotsCommand.cpp
  synth/FindSynthCommand.cpp
)
