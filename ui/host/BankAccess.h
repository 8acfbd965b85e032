#pragma once
// What a feature sees of the bank the bank pane holds: for the synthesizer's commands
// (receive into it, send it) and for the views that put programs in it.

#include "Bank.h"

#include <QString>

#include <functional>
#include <vector>

class QAction;

// Where the bank can be read again (at the next start): the file it came from or was saved
// to, or the Collection list it was opened from or kept as; nowhere for a bank received
// from the synthesizer or started anew, until it is saved.
struct CBankOrigin {
    enum class Kind { None, File, List };
    Kind kind = Kind::None;
    QString where;   // the file's path, or the list's name

    static CBankOrigin File(const QString& path) { return {Kind::File, path}; }
    static CBankOrigin List(const QString& name) { return {Kind::List, name}; }
};

class IBankAccess {
public:
    virtual ~IBankAccess() = default;

    // The bank, or null before one was loaded.
    virtual const CBank* Bank() const = 0;
    bool HasBank() const { return Bank() != nullptr; }
    // Its name in the pane's title: a file name, "Synth 2026-12-07 14:32", ...
    virtual QString BankName() const = 0;

    // Before the bank is replaced: when it has unsaved changes, asks Save, Discard or
    // Cancel. True when the bank may go (saved, or discarded).
    virtual bool MayReplaceBank() = 0;
    // Replaces the whole bank and shows the pane; the undo history starts again and the
    // bank counts as saved, from nowhere (SetOrigin tells where). Asks nothing: call
    // MayReplaceBank first.
    virtual void SetBank(const CBank& bank, const QString& sourceName) = 0;
    virtual CBankOrigin Origin() const = 0;
    virtual void SetOrigin(const CBankOrigin& origin) = 0;
    // The bank as one program data dump on `channel` (0 for files); empty before a bank.
    virtual std::vector<unsigned char> BankDump(int channel) const = 0;

    // The slot selected in the pane, or -1 (no bank).
    virtual int SelectedSlot() const = 0;
    // Puts programs in the slots from the selected one on, as Put in Bank does: one
    // undoable step, up to H16 (the status bar says how many were left out). Returns how
    // many the bank took; 0 without a bank.
    virtual int PutPrograms(const std::vector<CBank::ProgramData>& programs) = 0;

    // Puts a command on the selected slot in the bank pane's context menu.
    virtual void AddSlotCommand(QAction* action) = 0;
    // Called whenever another bank replaces the whole bank (a file, a receive, Use as Bank).
    using BankReplacedHandler = std::function<void()>;
    virtual void WhenBankReplaced(BankReplacedHandler handler) = 0;

    // Called after Open Bank... made a file the bank, with the file's path.
    using BankFileReadHandler = std::function<void(const QString& path)>;
    virtual void WhenBankFileRead(BankFileReadHandler handler) = 0;
};
