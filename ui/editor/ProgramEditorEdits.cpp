// The Program Editor pane's edits: each change of the program as one undoable step of the
// gesture under way, from a control, the synthesizer or Revert.

#include "ProgramEditorPane.h"

#include "EditorUndo.h"
#include "LiveEdit.h"

#include <QUndoStack>

namespace {
// Changes of one parameter on the synthesizer closer than this are one step.
constexpr int MERGE_MS = 500;

const CParameter* NameParameter()
{
    for (const CParameter& parameter : ProgramParameters())
        if (parameter.display == ParamDisplay::Text)
            return &parameter;
    return nullptr;
}
}  // namespace

void CProgramEditorPane::Revert()
{
    if (!IsEdited())
        return;
    ++m_gesture;
    PushChange(m_original, "Revert");
}

bool CProgramEditorPane::SetParameter(const CParameter& parameter, int value)
{
    ++m_gesture;
    CBank::ProgramData after = m_program;
    if (!m_hasProgram || !SetValue(parameter, after.data(), value))
        return false;
    if (after != m_program)
        PushChange(after, QString("Change %1").arg(QString::fromLatin1(parameter.name)));
    return true;
}

bool CProgramEditorPane::ApplySynthChange(int number, int value)
{
    CBank::ProgramData after = m_program;
    if (!m_hasProgram || !ApplyParameterChange(after.data(), number, value))
        return false;
    // The synthesizer's gestures count down from -1, apart from the user's.
    if (number != m_synthParameter || !m_sinceSynthChange.isValid() || m_sinceSynthChange.elapsed() > MERGE_MS)
        --m_synthGesture;
    m_synthParameter = number;
    m_sinceSynthChange.restart();
    if (after == m_program)
        return true;
    const CParameter* parameter = number < 12 ? NameParameter() : ParameterForChange(number);
    const QString name = parameter != nullptr ? QString::fromLatin1(parameter->name) : QString("A parameter");
    const int userGesture = m_gesture;
    m_gesture = m_synthGesture;
    PushChange(after, QString("%1 on the synthesizer").arg(name));
    m_gesture = userGesture;
    return true;
}

void CProgramEditorPane::OnEdited(const CParameter* parameter, int value)
{
    CBank::ProgramData after = m_program;
    if (!m_hasProgram || !SetValue(*parameter, after.data(), value)) {
        Refresh();   // the control goes back to what the program holds
        return;
    }
    if (after != m_program)
        PushChange(after, QString("Change %1").arg(QString::fromLatin1(parameter->name)));
}

void CProgramEditorPane::OnNameEdited(const QString& name)
{
    CBank::ProgramData after = m_program;
    std::string error;
    if (!m_hasProgram || !SetProgramName(after.data(), name.toStdString(), error)) {
        emit statusMessage(QString::fromStdString(error));
        Refresh();
        return;
    }
    ++m_gesture;
    if (after != m_program)
        PushChange(after, "Rename");
}

void CProgramEditorPane::PushChange(const CBank::ProgramData& after, const QString& text)
{
    m_undo->push(new CProgramEditCommand(m_program, after, text, m_gesture,
                                         [this](const CBank::ProgramData& data) { Apply(data); }));
}

void CProgramEditorPane::Apply(const CBank::ProgramData& data)
{
    if (data == m_program)
        return;
    const CBank::ProgramData before = m_program;
    m_program = data;
    if (isVisible() && !m_refreshPending)
        Refresh(&before);
    else
        m_refreshPending = true;
    UpdateTitle();
    if (IsEdited() != m_wasEdited) {
        m_wasEdited = IsEdited();
        emit editedChanged(m_wasEdited);
    }
    emit programChanged();
}
