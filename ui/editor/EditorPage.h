#pragma once
// One tab of the Program Editor: the parameters of one section (the common part, a timbre,
// the vocoder) in the groups of the synthesizer's panel, each group a box of labelled
// controls made from the parameter table, with a picture of each envelope and, for a run of
// numbered steps (a mod-sequencer lane, the vocoder's channel levels and pans), bars that can
// be drawn with the mouse above a row of compact spin boxes.

#include "ProgramParameters.h"

#include <QScrollArea>

#include <map>
#include <set>
#include <vector>

class CBarsView;
class CEnvelopeView;
class CParameterControl;
class QGroupBox;

class CEditorPage : public QScrollArea {
    Q_OBJECT
public:
    // `parameters`: the section's, in the table's order.
    CEditorPage(ParamSection section, const std::vector<const CParameter*>& parameters, QWidget* parent);

    ParamSection Section() const { return m_section; }
    // Shows a program (254 bytes) in every control and picture, emitting nothing; with
    // `changed` (a flag per byte), only in those whose bytes changed.
    void Show(const unsigned char* data, const bool* changed = nullptr);
    // Only these parameters (ids) are shown; groups left with none are hidden.
    void ShowOnly(const std::set<int>& parameterIds);

    CParameterControl* Control(int parameterId) const;
    const std::vector<CParameterControl*>& Controls() const { return m_controls; }
    // Every widget a press or key goes to, for the pane's gestures.
    QList<QWidget*> InputWidgets() const;

signals:
    void edited(const CParameter* parameter, int value);
    void nameEdited(const QString& name);
    void refused(const QString& error);
    // A stroke of the mouse across bars starts or ends (one undo step).
    void strokeStarted();
    void strokeEnded();

private:
    struct CBars {
        CBarsView* view = nullptr;
        std::vector<const CParameter*> steps;
        const CParameter* lastStep = nullptr;   // a sequence's "Last Step", or null
    };
    struct CEnvelope {
        CEnvelopeView* view = nullptr;
        const CParameter* parts[4] = {};   // attack, decay, sustain, release
    };
    QGroupBox* MakeGroup(const QString& title, const std::vector<const CParameter*>& parameters, bool& wide);
    CParameterControl* AddControl(const CParameter& parameter, int kind, QWidget* parent);

    ParamSection m_section;
    QWidget* m_content;
    std::vector<CParameterControl*> m_controls;
    std::map<int, CParameterControl*> m_byId;
    std::vector<CBars> m_bars;
    std::vector<CEnvelope> m_envelopes;
    std::vector<std::pair<QGroupBox*, std::vector<int>>> m_groups;   // a group and its parameters' ids
    std::map<int, std::vector<QWidget*>> m_rowWidgets;               // what hides with a parameter
};
