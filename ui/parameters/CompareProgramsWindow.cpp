#include "CompareProgramsWindow.h"

#include "ParameterDifferenceList.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CCompareProgramsWindow::CCompareProgramsWindow(QWidget* parent)
    : QDialog(parent), m_firstLabel(new QLabel(this)), m_secondLabel(new QLabel(this)),
      m_differences(new CParameterDifferenceList(this))
{
    setObjectName("comparePrograms");
    setWindowTitle("Compare Programs");
    m_firstLabel->setObjectName("compareFirst");
    m_secondLabel->setObjectName("compareSecond");
    for (QLabel* label : {m_firstLabel, m_secondLabel})
        label->setTextFormat(Qt::PlainText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_firstLabel);
    layout->addWidget(m_secondLabel);
    layout->addWidget(m_differences, 1);
    layout->addWidget(buttons);
    resize(560, 480);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CCompareProgramsWindow::ShowPair(const CPickedProgram& first, const CPickedProgram& second, SynthModel model)
{
    m_first = first;
    m_second = second;
    m_model = model;
    m_firstLabel->setText("First: " + first.label);
    m_secondLabel->setText("Second: " + second.label);
    ShowDifferences();
}

void CCompareProgramsWindow::SetModel(SynthModel model)
{
    m_model = model;
    ShowDifferences();
}

void CCompareProgramsWindow::ShowDifferences()
{
    m_differences->ShowDifferences(m_first.data.data(), m_second.data.data(), m_model, QString());
}
