#pragma once
// The bank pane: a dock beside the library listing the bank's 128 slots. It holds the bank
// and its undo history; every change to the slots is one undoable step, and the pane's
// title carries an asterisk while there are changes not saved. Until a bank is loaded it
// shows how to get one instead of slots.

#include "Bank.h"

#include <QDockWidget>

#include <optional>
#include <vector>

class QLabel;
class QUndoStack;
class CBankGrid;
class CGridListCtrl;
class CSyxProgram;

class CBankPane : public QDockWidget {
    Q_OBJECT
public:
    // The slots are drawn in the library grid's colours and column widths.
    CBankPane(const CGridListCtrl& library, QWidget* parent);
    ~CBankPane() override;

    // Replaces the whole bank: the undo history starts again and the bank counts as saved.
    // `sourceName` (a file name, "Synth", ...) shows in the title.
    void SetBank(const CBank& bank, const QString& sourceName);
    // The same from 128 programs in slot order; false, changing nothing, unless there are
    // exactly 128 whole programs.
    bool ReplaceBank(const std::vector<const CSyxProgram*>& programs, const QString& sourceName);

    bool HasBank() const { return m_bank.has_value(); }
    // The bank, or null before one was loaded.
    const CBank* Bank() const { return m_bank ? &*m_bank : nullptr; }
    QString SourceName() const { return m_sourceName; }
    // The bank as one program data dump (0x4C) on `channel`, 0 for files; empty before a bank.
    std::vector<unsigned char> BankDump(int channel = 0) const;

    // Whether the slots were changed since the bank was loaded or saved (undoing back to
    // that point clears it).
    bool IsModified() const;
    // The bank was written to `sourceName`: unmodified from here.
    void MarkSaved(const QString& sourceName);

    int SelectedSlot() const;
    void SelectSlot(int slot);

    // Undoable changes; nothing happens before a bank is loaded.
    // Puts programs in the slots from `firstSlot` on, up to H16. Those that do not fit are
    // left out, and the status message says how many of the `offered` (default: all given).
    // Returns how many the bank took.
    int PutPrograms(int firstSlot, const std::vector<CBank::ProgramData>& programs, int offered = -1);
    // Swaps the programs of two slots. False when nothing was done.
    bool MoveSlot(int from, int to);

    QUndoStack* UndoStack() const { return m_undo; }
    CBankGrid* Grid() const { return m_grid; }

signals:
    // Double-click or Enter on a slot.
    void auditionRequested(int slot);
    void modifiedChanged(bool modified);
    // Another bank replaced the whole bank.
    void bankReplaced();
    // A note for the status bar.
    void statusMessage(const QString& text);

private:
    void CreateColumns(const CGridListCtrl& library);
    void RefreshSlot(int slot);
    void RefreshAllSlots();
    void UpdateTitle();

    std::optional<CBank> m_bank;
    QString m_sourceName;
    QUndoStack* m_undo;
    QLabel* m_hint;
    CBankGrid* m_grid;
};
