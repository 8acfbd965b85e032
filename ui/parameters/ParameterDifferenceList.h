#pragma once
// The parameters that differ between two programs, one row each: section, parameter, the
// first program's value and the second's, as the synthesizer shows them, in the parameter
// page's order (the name counts as the parameter "Name"). A line above the rows tells how
// many differ, and says so when the voice modes differ (only the parameters both programs
// have are compared) or when the two differ only in what is not shown.

#include "ProgramParameters.h"

#include <QWidget>

class QLabel;
class QTableWidget;

class CParameterDifferenceList : public QWidget {
    Q_OBJECT
public:
    explicit CParameterDifferenceList(QWidget* parent = nullptr);

    // Both programs are 254 bytes; `heading` (a slot, two names) leads the line above the
    // rows.
    void ShowDifferences(const unsigned char* first, const unsigned char* second, SynthModel model,
                         const QString& heading);
    // No rows, and `note` above them.
    void Clear(const QString& note);

    QLabel* Note() const { return m_note; }
    QTableWidget* Table() const { return m_table; }

    // "3 parameters", "1 parameter".
    static QString CountText(std::size_t count);

private:
    QLabel* m_note;
    QTableWidget* m_table;
};
