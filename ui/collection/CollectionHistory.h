#pragma once
// The History window: two banks of 128 programs compared slot by slot, and one sent back to
// the synthesizer. Each of First and Second offers the bank in the bank pane and every bank
// of 128 programs in the Collection (the synthesizer's receives, files, saved banks, lists;
// see CollectionHistorySources). Compare lists the 128 slots with both names and a mark:
// unchanged, renamed, or "changed: 3 parameters" (a slot renamed and changed counts as
// changed, the name among its parameters); "Differences only" (on at first) hides the
// unchanged slots. The pane below the slots lists the selected slot's parameters that
// differ, with both values, for the instrument chosen in View > Synthesizer. "Restore..."
// beside First sends its 128 programs as Send Bank to Synth... sends a bank.

#include "Collection.h"
#include "CollectionHistorySources.h"
#include "ProgramParameters.h"

#include <QDialog>
#include <QString>

#include <vector>

class CCollectionService;
class CParameterDifferenceList;
class IBankAccess;
class IMessageBoxService;
class ISynthBankSender;
class ISynthModelSetting;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSplitter;
class QTableWidget;
class QTimer;

class CCollectionHistory : public QDialog {
    Q_OBJECT
public:
    // `bank`, `sender` and `model` may be null: no bank to compare with, nothing to restore
    // through, the MS2000's parameters.
    CCollectionHistory(CCollectionService& service, IBankAccess* bank, ISynthBankSender* sender,
                       ISynthModelSetting* model, IMessageBoxService& messages, QWidget* parent);

    // Lists the entries again (the Collection changed), keeping what is chosen.
    void Refresh();
    // Chooses `asked` first (null: the window's own choice) and a second for it
    // (ChooseHistoryPair).
    void ChooseFirst(const CHistoryEntry* asked = nullptr);

    QComboBox* FirstBox() const { return m_first; }
    QComboBox* SecondBox() const { return m_second; }
    QTableWidget* Table() const { return m_table; }
    QPushButton* RestoreButton() const { return m_restore; }
    QCheckBox* DifferencesOnlyBox() const { return m_differencesOnly; }
    QLabel* Summary() const { return m_summary; }
    CParameterDifferenceList* Parameters() const { return m_parameters; }

    void OnCompare();
    void OnRestore();

private:
    const CHistoryEntry* Chosen(const QComboBox* box) const;
    void FillBoxes();
    bool EntryPrograms(const CHistoryEntry& entry, std::vector<CollectionProgramData>& programs);
    // Fills the slots from the programs compared last, for the instrument chosen now.
    void ShowComparison();
    void ShowSelectedSlot();
    void ApplyDifferencesOnly();
    void ClearComparison(const QString& summary);
    void UpdateRestore();
    void Fail(const QString& text);
    SynthModel Model() const;

    CCollectionService& m_service;
    IBankAccess* m_bank;
    ISynthBankSender* m_sender;
    ISynthModelSetting* m_model;
    IMessageBoxService& m_messages;
    std::vector<CHistoryEntry> m_entries;
    // What was compared last: both sides' programs and the slots' marks.
    std::vector<CollectionProgramData> m_firstPrograms;
    std::vector<CollectionProgramData> m_secondPrograms;
    std::vector<CSlotDifference> m_slots;

    QComboBox* m_first;
    QComboBox* m_second;
    QPushButton* m_restore;
    QPushButton* m_compare;
    QCheckBox* m_differencesOnly;
    QLabel* m_summary;
    QSplitter* m_splitter;
    QTableWidget* m_table;
    CParameterDifferenceList* m_parameters;
    QTimer* m_poll;
};
