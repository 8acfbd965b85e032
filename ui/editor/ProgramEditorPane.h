#pragma once
// The Program Editor pane: a dock showing one program's parameters, made from the parameter
// table, in tabs for the common part and each timbre (or the vocoder), with a "Find
// parameter" field above them. It holds the edited copy: the program as it was shown (the
// original) and as edited, and the undo history of the edits. Every change (an edit, an
// undo, Revert, a knob turned on the synthesizer) is one undoable step per gesture, and
// is told by programChanged(), after which Program() holds the new bytes.
//
// While the pane is hidden, a program shown is only kept; the controls follow once it is
// shown.

#include "Bank.h"
#include "ProgramParameters.h"

#include <QDockWidget>
#include <QElapsedTimer>

#include <set>
#include <vector>

class CEditorPage;
class CParameterControl;
class QLabel;
class QLineEdit;
class QListWidget;
class QStackedWidget;
class QTabWidget;
class QToolBar;
class QUndoStack;

class CProgramEditorPane : public QDockWidget {
    Q_OBJECT
public:
    explicit CProgramEditorPane(QWidget* parent);
    ~CProgramEditorPane() override;

    // The size it is first shown at.
    static QSize DefaultSize();
    QSize sizeHint() const override { return DefaultSize(); }

    // Which instrument's parameters are shown.
    void SetModel(SynthModel model);

    // Shows `data` as the program `title` names ("A 005 Stab Saw, ms2000-bank-0x4C.syx"): it
    // is the original from now on, and the undo history starts again.
    void ShowProgram(const CBank::ProgramData& data, const QString& title);
    bool HasProgram() const { return m_hasProgram; }
    const CBank::ProgramData& Program() const { return m_program; }
    const CBank::ProgramData& Original() const { return m_original; }
    QString ProgramTitle() const { return m_title; }
    // Whether the program differs from the original.
    bool IsEdited() const { return m_hasProgram && m_program != m_original; }
    // The program as edited was kept (saved, kept in the Collection, put in the bank): it
    // is the original from now on, named `title` when one is given. The undo history stays.
    void MarkKept(const QString& title = QString());

    // Back to the original, as one undoable step.
    void Revert();
    // Sets one parameter, as the user's edit does (one undo step per gesture). False for a
    // value it does not take.
    bool SetParameter(const CParameter& parameter, int value);
    // A parameter change that came from the synthesizer (a knob turned there, `number` =
    // `value` as the message carries it): one undo step for consecutive changes of one
    // parameter within half a second. False for one the program map does not know.
    bool ApplySynthChange(int number, int value);

    QUndoStack* UndoStack() const { return m_undo; }
    QLineEdit* FindField() const { return m_find; }
    QListWidget* Matches() const { return m_matches; }
    QTabWidget* Tabs() const { return m_tabs; }
    // The pane's own tool bar, for the commands on the edited program.
    QToolBar* ToolBar() const { return m_toolBar; }
    // The parameters shown now, in panel order.
    const std::vector<const CParameter*>& ShownParameters() const { return m_shown; }
    CParameterControl* ControlOf(const CParameter& parameter) const;
    // Shows the parameter's tab and gives its control the keyboard. False when not shown.
    bool FocusParameter(const CParameter& parameter);

signals:
    // The program's bytes changed by an edit, an undo or redo, Revert or the synthesizer
    // (after the change; Program() holds them). Not for a program shown.
    void programChanged();
    // Another program is shown (ShowProgram).
    void programShown();
    // IsEdited() changed.
    void editedChanged(bool edited);
    // A note for the status bar.
    void statusMessage(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildPages();
    void WatchGestures(const QList<QWidget*>& widgets);
    // Makes `after` the program as one step of the gesture under way.
    void PushChange(const CBank::ProgramData& after, const QString& text);
    void Apply(const CBank::ProgramData& data);
    // The controls, pictures, tabs and shown parameters for the program now; with `before`,
    // only what differs from it.
    void Refresh(const CBank::ProgramData* before = nullptr);
    void UpdateShownParameters();
    void UpdateTitle();
    void UpdateMatches();
    void OnEdited(const CParameter* parameter, int value);
    void OnNameEdited(const QString& name);

    SynthModel m_model = SynthModel::MS2000;
    bool m_hasProgram = false;
    CBank::ProgramData m_program{};
    CBank::ProgramData m_original{};
    QString m_title;
    bool m_wasEdited = false;
    bool m_refreshPending = false;   // a program came while hidden

    QUndoStack* m_undo;
    int m_gesture = 0;
    QElapsedTimer m_sinceWheel;
    QElapsedTimer m_sinceSynthChange;
    int m_synthParameter = -1;
    int m_synthGesture = 0;

    QStackedWidget* m_stack;
    QLabel* m_hint;
    QLineEdit* m_find;
    QListWidget* m_matches;
    QTabWidget* m_tabs;
    QToolBar* m_toolBar;
    std::vector<CEditorPage*> m_pages;   // Common, Timbre 1, Timbre 2, Vocoder
    std::vector<const CParameter*> m_shown;
    std::set<int> m_shownIds;
};
