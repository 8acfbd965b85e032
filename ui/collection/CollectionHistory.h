#pragma once
// The History window: the synthesizer's receives kept in the Collection, two of them (or one
// and the bank in the bank pane) compared slot by slot, and a receive sent back to the
// synthesizer. Compare lists the 128 slots with both names and a mark: unchanged, renamed
// or changed (a slot renamed and changed counts as changed). "Restore..." beside the first
// choice sends that receive's 128 programs as Send Bank to Synth... sends a bank.

#include "Collection.h"

#include <QDialog>
#include <QString>

#include <vector>

class CCollectionService;
class IBankAccess;
class IMessageBoxService;
class ISynthBankSender;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

class CCollectionHistory : public QDialog {
    Q_OBJECT
public:
    // `bank` and `sender` may be null: no bank to compare with, nothing to restore through.
    CCollectionHistory(CCollectionService& service, IBankAccess* bank, ISynthBankSender* sender,
                       IMessageBoxService& messages, QWidget* parent);

    // Lists the receives again (the Collection changed), keeping what is chosen.
    void Refresh();
    // Chooses this receive first, and the newest other receive (or the bank) second.
    void ChooseFirst(CollectionId receive);
    // What the lists offer: 0 stands for the bank.
    static constexpr CollectionId THE_BANK = 0;

    QComboBox* FirstBox() const { return m_first; }
    QComboBox* SecondBox() const { return m_second; }
    QTableWidget* Table() const { return m_table; }
    QPushButton* RestoreButton() const { return m_restore; }
    QLabel* Summary() const { return m_summary; }

    void OnCompare();
    void OnRestore();

private:
    struct Entry {
        CollectionId source = THE_BANK;
        QString label;
    };
    // The 128 programs behind an entry; false (told) when they cannot be had.
    bool EntryPrograms(const Entry& entry, std::vector<CollectionProgramData>& programs);
    const Entry* Chosen(const QComboBox* box) const;
    void FillBoxes();
    void ShowComparison(const std::vector<CSlotDifference>& compared);
    void ClearComparison(const QString& summary);
    void UpdateRestore();
    void Fail(const QString& text);

    CCollectionService& m_service;
    IBankAccess* m_bank;
    ISynthBankSender* m_sender;
    IMessageBoxService& m_messages;
    std::vector<Entry> m_entries;   // the bank first when there is one, then receives, newest first

    QComboBox* m_first;
    QComboBox* m_second;
    QPushButton* m_restore;
    QPushButton* m_compare;
    QLabel* m_summary;
    QTableWidget* m_table;
    QTimer* m_poll;
};
