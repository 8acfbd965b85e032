#include "EditorPage.h"

#include "ColumnsLayout.h"
#include "ParameterControl.h"
#include "PictureViews.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int BAR_COUNT = 16;
constexpr int FIELD_IN_WIDE_GROUP = 260;
const char* const ENVELOPE_PARTS[4] = {"Attack", "Decay", "Sustain", "Release"};

QString NameOf(const CParameter& parameter)
{
    return QString::fromLatin1(parameter.name);
}

// "SEQ1 Step 5" and "Channel 5 Level" are step 5 of the rows "SEQ1 Step" and "Channel
// Level"; -1 for a parameter that is no step.
int StepOf(const CParameter& parameter, QString& row)
{
    static const QRegularExpression step("^(.* Step) (\\d+)$");
    static const QRegularExpression channel("^(Ch|Channel) (\\d+) (.+)$");
    const QString name = NameOf(parameter);
    QRegularExpressionMatch match = step.match(name);
    if (match.hasMatch()) {
        row = match.captured(1);
        return match.captured(2).toInt();
    }
    match = channel.match(name);
    if (match.hasMatch()) {
        row = match.captured(1) + ' ' + match.captured(3);
        return match.captured(2).toInt();
    }
    return -1;
}

}  // namespace

CEditorPage::CEditorPage(ParamSection section, const std::vector<const CParameter*>& parameters, QWidget* parent)
    : QScrollArea(parent), m_section(section), m_content(new QWidget(this))
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    auto* columns = new CColumnsLayout(m_content);
    columns->setContentsMargins(6, 6, 6, 6);

    // The groups in the order the table first names them.
    std::vector<QString> order;
    std::map<QString, std::vector<const CParameter*>> groups;
    for (const CParameter* parameter : parameters) {
        const QString group = QString::fromLatin1(parameter->group);
        if (groups.find(group) == groups.end())
            order.push_back(group);
        groups[group].push_back(parameter);
    }
    for (const QString& title : order) {
        bool wide = false;
        QGroupBox* box = MakeGroup(title, groups[title], wide);
        if (wide)
            columns->AddWide(box);
        else
            columns->addWidget(box);
    }
    setWidget(m_content);
}

CParameterControl* CEditorPage::AddControl(const CParameter& parameter, int kind, QWidget* parent)
{
    auto* control = new CParameterControl(parameter, static_cast<CParameterControl::Kind>(kind), parent);
    m_controls.push_back(control);
    m_byId[parameter.id] = control;
    connect(control, &CParameterControl::edited, this, &CEditorPage::edited);
    connect(control, &CParameterControl::nameEdited, this, &CEditorPage::nameEdited);
    connect(control, &CParameterControl::refused, this, &CEditorPage::refused);
    return control;
}

QGroupBox* CEditorPage::MakeGroup(const QString& title, const std::vector<const CParameter*>& parameters, bool& wide)
{
    auto* box = new QGroupBox(title, m_content);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    int row = 0;
    std::vector<int> ids;

    // Each envelope whose four parts are all here gets its picture first.
    for (const CParameter* attack : parameters) {
        const QString name = NameOf(*attack);
        if (!name.endsWith(ENVELOPE_PARTS[0]))
            continue;
        const QString prefix = name.left(name.size() - static_cast<int>(qstrlen(ENVELOPE_PARTS[0])));
        CEnvelope envelope;
        for (int part = 0; part < 4; ++part)
            for (const CParameter* candidate : parameters)
                if (NameOf(*candidate) == prefix + ENVELOPE_PARTS[part])
                    envelope.parts[part] = candidate;
        if (std::find(std::begin(envelope.parts), std::end(envelope.parts), nullptr) != std::end(envelope.parts))
            continue;
        envelope.view = new CEnvelopeView(box);
        envelope.view->setAccessibleName(prefix.trimmed().isEmpty() ? title : prefix.trimmed() + " shape");
        grid->addWidget(envelope.view, row++, 0, 1, 2);
        m_envelopes.push_back(envelope);
    }

    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const CParameter& parameter = *parameters[i];
        QString barsRow;
        if (StepOf(parameter, barsRow) == 1) {
            // A run of steps 1-16: bars to draw, and a spin box per step below them.
            CBars bars;
            std::size_t end = i;
            QString next;
            while (end < parameters.size() && StepOf(*parameters[end], next) == static_cast<int>(end - i) + 1
                   && next == barsRow)
                ++end;
            if (end - i == BAR_COUNT) {
                wide = true;
                auto* label = new QLabel(barsRow, box);
                grid->addWidget(label, row, 0, Qt::AlignTop);
                auto* strip = new QWidget(box);
                auto* stripGrid = new QGridLayout(strip);
                stripGrid->setContentsMargins(0, 0, 0, 0);
                stripGrid->setHorizontalSpacing(2);
                stripGrid->setVerticalSpacing(1);
                bars.view = new CBarsView(BAR_COUNT, strip);
                bars.view->setAccessibleName(barsRow);
                stripGrid->addWidget(bars.view, 0, 0, 1, BAR_COUNT);
                for (std::size_t k = i; k < end; ++k) {
                    CParameterControl* control =
                        AddControl(*parameters[k], static_cast<int>(CParameterControl::Kind::Step), strip);
                    stripGrid->addWidget(control->Field(), 1, static_cast<int>(k - i));
                    bars.steps.push_back(parameters[k]);
                    ids.push_back(parameters[k]->id);
                    m_rowWidgets[parameters[k]->id] = {control->Field()};
                }
                // A sequence's steps past its last are dimmed.
                if (barsRow.endsWith("Step"))
                    bars.lastStep = FindParameter(m_section, "SEQ Last Step");
                grid->addWidget(strip, row++, 1);
                const std::size_t index = m_bars.size();
                connect(bars.view, &CBarsView::strokeStarted, this, &CEditorPage::strokeStarted);
                connect(bars.view, &CBarsView::strokeEnded, this, &CEditorPage::strokeEnded);
                connect(bars.view, &CBarsView::barDrawn, this, [this, index](int bar, int value) {
                    emit edited(m_bars[index].steps[static_cast<std::size_t>(bar)], value);
                });
                m_bars.push_back(bars);
                i = end - 1;
                continue;
            }
        }
        CParameterControl* control = AddControl(parameter, static_cast<int>(CParameterControl::KindOf(parameter)), box);
        grid->addWidget(control->Label(), row, 0);
        grid->addWidget(control->Field(), row++, 1);
        ids.push_back(parameter.id);
        m_rowWidgets[parameter.id] = {control->Label(), control->Field()};
    }
    if (wide) {
        // Across the pane, a setting's field stays as wide as it would be in a column.
        for (int id : ids)
            if (CParameterControl* control = Control(id); control != nullptr && control->Label() != nullptr) {
                control->Field()->setFixedWidth(FIELD_IN_WIDE_GROUP);
                grid->setAlignment(control->Field(), Qt::AlignLeft);
            }
    }
    m_groups.emplace_back(box, ids);
    return box;
}

namespace {
// Whether a change of the bytes flagged in `changed` can change what shows `parameter`: its
// own bytes, or the knob that sets a step's range.
bool Touches(const CParameter& parameter, const bool* changed)
{
    if (changed == nullptr)
        return true;
    const int last = parameter.display == ParamDisplay::Text      ? parameter.byte + 11
                     : parameter.display == ParamDisplay::Tempo16 ? parameter.byte + 1
                                                                  : parameter.byte;
    for (int byte = parameter.byte; byte <= last; ++byte)
        if (changed[byte])
            return true;
    return parameter.knobByte >= 0 && changed[parameter.knobByte];
}
}  // namespace

void CEditorPage::Show(const unsigned char* data, const bool* changed)
{
    for (CParameterControl* control : m_controls)
        if (Touches(control->Parameter(), changed))
            control->Show(data);
    for (const CEnvelope& envelope : m_envelopes)
        envelope.view->SetEnvelope(Value(*envelope.parts[0], data), Value(*envelope.parts[1], data),
                                   Value(*envelope.parts[2], data), Value(*envelope.parts[3], data));
    for (const CBars& bars : m_bars) {
        int minValue = 0, maxValue = 0;
        Range(*bars.steps.front(), data, minValue, maxValue);
        // Steps and pans grow from their middle (stored 64), levels from the bottom.
        const ParamDisplay display = bars.steps.front()->display;
        const bool centred = display == ParamDisplay::Center64 || display == ParamDisplay::ChannelPan
                             || display == ParamDisplay::TimbrePan;
        bars.view->SetRange(minValue, maxValue, centred ? 64 : minValue);
        for (std::size_t i = 0; i < bars.steps.size(); ++i)
            bars.view->SetValue(static_cast<int>(i), Value(*bars.steps[i], data));
        bars.view->SetActiveCount(bars.lastStep != nullptr ? Value(*bars.lastStep, data) + 1 : BAR_COUNT);
    }
}

void CEditorPage::ShowOnly(const std::set<int>& parameterIds)
{
    for (const auto& [id, widgets] : m_rowWidgets) {
        const bool shown = parameterIds.count(id) != 0;
        for (QWidget* widget : widgets)
            widget->setVisible(shown);
    }
    for (const auto& [box, ids] : m_groups) {
        const bool any = std::any_of(ids.begin(), ids.end(), [&](int id) { return parameterIds.count(id) != 0; });
        box->setVisible(any);
    }
}

CParameterControl* CEditorPage::Control(int parameterId) const
{
    const auto found = m_byId.find(parameterId);
    return found == m_byId.end() ? nullptr : found->second;
}

QList<QWidget*> CEditorPage::InputWidgets() const
{
    QList<QWidget*> widgets;
    for (const CParameterControl* control : m_controls)
        widgets += control->InputWidgets();
    for (const CBars& bars : m_bars)
        widgets.append(bars.view);
    return widgets;
}
