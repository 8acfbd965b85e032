#pragma once
// The window of Program > Compare Programs...: two programs named above the list of their
// parameters that differ. It keeps the two, so that choosing the other instrument in View >
// Synthesizer shows them again as that one has them.

#include "LastSelectedPrograms.h"
#include "ProgramParameters.h"

#include <QDialog>

class CParameterDifferenceList;
class QLabel;

class CCompareProgramsWindow : public QDialog {
    Q_OBJECT
public:
    explicit CCompareProgramsWindow(QWidget* parent = nullptr);

    void ShowPair(const CPickedProgram& first, const CPickedProgram& second, SynthModel model);
    // The same two as the other instrument has them.
    void SetModel(SynthModel model);

    QLabel* FirstLabel() const { return m_firstLabel; }
    QLabel* SecondLabel() const { return m_secondLabel; }
    CParameterDifferenceList* Differences() const { return m_differences; }

private:
    void ShowDifferences();

    CPickedProgram m_first;
    CPickedProgram m_second;
    SynthModel m_model = SynthModel::MS2000;
    QLabel* m_firstLabel;
    QLabel* m_secondLabel;
    CParameterDifferenceList* m_differences;
};
