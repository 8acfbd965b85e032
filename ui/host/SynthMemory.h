#pragma once
// What a feature sees of the synthesizer's memory as Veltrix knows it: the 128 programs of
// its last receive, or of the bank last sent to it, with the slots written one at a time
// since. Unknown before either happened.

#include "Bank.h"

#include <QString>

#include <functional>

class ISynthMemory {
public:
    virtual ~ISynthMemory() = default;

    // The 128 programs Veltrix knows to be in the synthesizer, or null when it knows none.
    virtual const CBank* KnownMemory() const = 0;
    bool IsKnown() const { return KnownMemory() != nullptr; }
    // Where that knowledge comes from, for the user: "the receive of 2026-12-08 14:32", "the
    // bank sent 2026-12-08 14:40" (empty when unknown).
    virtual QString KnownMemoryOrigin() const = 0;

    // Whether the bank pane holds the synthesizer's bank: its last receive, or the bank last
    // sent to it.
    virtual bool IsBankTheSynths() const = 0;

    // Called whenever what is known changes (a receive, a bank sent, a slot written).
    using ChangedHandler = std::function<void()>;
    virtual void WhenKnownMemoryChanged(ChangedHandler handler) = 0;
};
