#pragma once
// What a feature sees of the setting View > Synthesizer: which instrument, the MS2000 or the
// microKORG, the window shows a program's parameters for. It changes only which parameters
// are shown (the microKORG lacks the mod sequencer and a few settings); programs are never
// changed by it. The window keeps it in its settings, where veltrix-cli reads it too.

#include "ProgramParameters.h"

#include <functional>

class ISynthModelSetting {
public:
    virtual ~ISynthModelSetting() = default;

    // The instrument chosen: the MS2000 until the user chooses otherwise.
    virtual SynthModel Model() const = 0;

    // Called, in the order added, each time the user chooses the other instrument.
    using ModelChangedHandler = std::function<void(SynthModel model)>;
    virtual void WhenModelChanged(ModelChangedHandler handler) = 0;
};
