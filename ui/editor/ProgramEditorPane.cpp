#include "ProgramEditorPane.h"

#include "EditorPage.h"
#include "ParameterControl.h"
#include "ParameterFind.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr ParamSection SECTIONS[] = {ParamSection::Common, ParamSection::Timbre1, ParamSection::Timbre2,
                                     ParamSection::Vocoder};
constexpr int SECTION_COUNT = 4;
// Turns of the wheel closer than this to the one before are one step.
constexpr int MERGE_MS = 500;
constexpr int MOST_MATCHES = 30;
constexpr int MATCH_ROWS = 5;
constexpr std::size_t VOICE_MODE_BYTE = 16;

int PageIndex(ParamSection section)
{
    return static_cast<int>(std::find(std::begin(SECTIONS), std::end(SECTIONS), section) - std::begin(SECTIONS));
}

QString MatchText(const CParameter& parameter)
{
    return QString("%1 \u203A %2 \u203A %3")
        .arg(QString::fromLatin1(SectionName(parameter.section)), QString::fromLatin1(parameter.group),
             QString::fromLatin1(parameter.name));
}

}  // namespace

CProgramEditorPane::CProgramEditorPane(QWidget* parent) : QDockWidget(parent), m_undo(new QUndoStack(this))
{
    setObjectName("programEditorPane");
    setAllowedAreas(Qt::AllDockWidgetAreas);

    m_stack = new QStackedWidget(this);
    m_hint = new QLabel("No program yet. Select one in the list, the bank or the Collection to see and change its "
                        "parameters.",
                        m_stack);
    m_hint->setObjectName("editorHint");
    m_hint->setWordWrap(true);
    m_hint->setMargin(8);
    m_hint->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_stack->addWidget(m_hint);

    auto* editor = new QWidget(m_stack);
    auto* layout = new QVBoxLayout(editor);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(3);
    m_toolBar = new QToolBar(editor);
    m_toolBar->setObjectName("editorToolBar");
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(m_toolBar);

    auto* findRow = new QHBoxLayout;
    auto* findLabel = new QLabel("&Find parameter:", editor);
    m_find = new QLineEdit(editor);
    m_find->setObjectName("findParameter");
    m_find->setAccessibleName("Find parameter");
    m_find->setPlaceholderText("cutoff, timbre 2 cutoff, arp tempo, seq1 step 5 ...");
    m_find->setClearButtonEnabled(true);
    findLabel->setBuddy(m_find);
    findRow->addWidget(findLabel);
    findRow->addWidget(m_find, 1);
    layout->addLayout(findRow);
    m_matches = new QListWidget(editor);
    m_matches->setObjectName("parameterMatches");
    m_matches->setAccessibleName("Parameters found");
    m_matches->setMaximumHeight(m_matches->sizeHintForRow(0) > 0 ? m_matches->sizeHintForRow(0) * MATCH_ROWS + 4
                                                                   : fontMetrics().height() * (MATCH_ROWS + 1));
    m_matches->hide();
    layout->addWidget(m_matches);

    m_tabs = new QTabWidget(editor);
    m_tabs->setObjectName("editorTabs");
    m_tabs->setDocumentMode(true);
    layout->addWidget(m_tabs, 1);
    m_stack->addWidget(editor);
    setWidget(m_stack);

    connect(m_find, &QLineEdit::textChanged, this, [this] { UpdateMatches(); });
    connect(m_find, &QLineEdit::returnPressed, this, [this] {
        if (m_matches->count() > 0)
            FocusParameter(ProgramParameters().at(static_cast<std::size_t>(m_matches->item(0)->data(Qt::UserRole).toInt())));
    });
    const auto focusMatch = [this](QListWidgetItem* item) {
        if (item != nullptr)
            FocusParameter(ProgramParameters().at(static_cast<std::size_t>(item->data(Qt::UserRole).toInt())));
    };
    connect(m_matches, &QListWidget::itemActivated, this, focusMatch);
    connect(m_matches, &QListWidget::itemClicked, this, focusMatch);
    m_find->installEventFilter(this);
    connect(m_undo, &QUndoStack::indexChanged, this, [this] { UpdateTitle(); });
    UpdateTitle();
}

CProgramEditorPane::~CProgramEditorPane()
{
    disconnect(m_undo, nullptr, this, nullptr);
}

QSize CProgramEditorPane::DefaultSize()
{
    return QSize(980, 520);
}

void CProgramEditorPane::SetModel(SynthModel model)
{
    if (model == m_model)
        return;
    m_model = model;
    if (m_hasProgram && !m_pages.empty())
        Refresh();
}

void CProgramEditorPane::BuildPages()
{
    if (!m_pages.empty())
        return;
    std::vector<const CParameter*> bySection[SECTION_COUNT];
    for (const CParameter& parameter : ProgramParameters())
        bySection[PageIndex(parameter.section)].push_back(&parameter);
    for (int i = 0; i < SECTION_COUNT; ++i) {
        auto* page = new CEditorPage(SECTIONS[i], bySection[i], m_tabs);
        m_tabs->addTab(page, QString::fromLatin1(SectionName(SECTIONS[i])));
        connect(page, &CEditorPage::edited, this, &CProgramEditorPane::OnEdited);
        connect(page, &CEditorPage::nameEdited, this, &CProgramEditorPane::OnNameEdited);
        connect(page, &CEditorPage::refused, this, &CProgramEditorPane::statusMessage);
        connect(page, &CEditorPage::strokeStarted, this, [this] { ++m_gesture; });
        WatchGestures(page->InputWidgets());
        m_pages.push_back(page);
    }
}

void CProgramEditorPane::WatchGestures(const QList<QWidget*>& widgets)
{
    for (QWidget* widget : widgets)
        widget->installEventFilter(this);
}

bool CProgramEditorPane::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Undo and Redo are the editor's steps, not the text of a control's own field.
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched != m_find && (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))) {
            event->ignore();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_find) {
            if (key->key() == Qt::Key_Down && m_matches->isVisible() && m_matches->count() > 0) {
                m_matches->setFocus();
                m_matches->setCurrentRow(0);
                return true;
            }
            return false;
        }
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            m_find->setFocus(Qt::ShortcutFocusReason);
            m_find->selectAll();
            return true;
        }
        // A held key repeats within one gesture; each new press starts one.
        if (!key->isAutoRepeat())
            ++m_gesture;
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn:
        if (watched != m_find)
            ++m_gesture;
        break;
    case QEvent::Wheel:
        if (!m_sinceWheel.isValid() || m_sinceWheel.elapsed() > MERGE_MS)
            ++m_gesture;
        m_sinceWheel.restart();
        break;
    default:
        break;
    }
    return false;
}

void CProgramEditorPane::ShowProgram(const CBank::ProgramData& data, const QString& title)
{
    const bool wasEdited = IsEdited();
    m_hasProgram = true;
    m_program = data;
    m_original = data;
    m_title = title;
    m_undo->clear();
    m_stack->setCurrentIndex(1);
    if (isVisible())
        Refresh();
    else
        m_refreshPending = true;
    UpdateTitle();
    if (wasEdited)
        emit editedChanged(false);
    m_wasEdited = false;
    emit programShown();
}

void CProgramEditorPane::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    if (m_refreshPending)
        Refresh();
}

void CProgramEditorPane::MarkKept(const QString& title)
{
    m_original = m_program;
    if (!title.isEmpty())
        m_title = title;
    UpdateTitle();
    if (m_wasEdited) {
        m_wasEdited = false;
        emit editedChanged(false);
    }
}

void CProgramEditorPane::Refresh(const CBank::ProgramData* before)
{
    m_refreshPending = false;
    if (!m_hasProgram)
        return;
    BuildPages();
    // An edit changes a few bytes: only the controls showing them need to look again, unless
    // the voice mode changed which parameters there are.
    bool changed[PROGRAM_DATA_SIZE];
    const bool* which = nullptr;
    if (before != nullptr && (*before)[VOICE_MODE_BYTE] == m_program[VOICE_MODE_BYTE]) {
        for (std::size_t i = 0; i < PROGRAM_DATA_SIZE; ++i)
            changed[i] = (*before)[i] != m_program[i];
        which = changed;
    } else {
        UpdateShownParameters();
    }
    for (CEditorPage* page : m_pages)
        if (m_tabs->isTabVisible(m_tabs->indexOf(page)))
            page->Show(m_program.data(), which);
}

void CProgramEditorPane::UpdateShownParameters()
{
    std::vector<const CParameter*> shown = ApplicableParameters(m_program.data(), m_model);
    std::set<int> ids;
    for (const CParameter* parameter : shown)
        ids.insert(parameter->id);
    if (ids == m_shownIds)
        return;
    m_shown = std::move(shown);
    m_shownIds = std::move(ids);
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        CEditorPage* page = m_pages[i];
        page->ShowOnly(m_shownIds);
        const bool any = std::any_of(m_shown.begin(), m_shown.end(),
                                     [page](const CParameter* parameter) { return parameter->section == page->Section(); });
        m_tabs->setTabVisible(static_cast<int>(i), any);
    }
    UpdateMatches();
}

CParameterControl* CProgramEditorPane::ControlOf(const CParameter& parameter) const
{
    const int page = PageIndex(parameter.section);
    return page < static_cast<int>(m_pages.size()) ? m_pages[static_cast<std::size_t>(page)]->Control(parameter.id)
                                                   : nullptr;
}

bool CProgramEditorPane::FocusParameter(const CParameter& parameter)
{
    CParameterControl* control = ControlOf(parameter);
    if (control == nullptr || m_shownIds.count(parameter.id) == 0)
        return false;
    CEditorPage* page = m_pages[static_cast<std::size_t>(PageIndex(parameter.section))];
    m_tabs->setCurrentWidget(page);
    QWidget* widget = control->FocusWidget();
    page->ensureWidgetVisible(widget);
    widget->setFocus(Qt::OtherFocusReason);
    // What is typed there replaces the value.
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
        spin->selectAll();
    else if (auto* list = qobject_cast<QComboBox*>(widget); list != nullptr && list->lineEdit() != nullptr)
        list->lineEdit()->selectAll();
    else if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->selectAll();
    return true;
}

void CProgramEditorPane::UpdateMatches()
{
    m_matches->clear();
    const std::vector<const CParameter*> found = FindParameters(m_shown, m_find->text().toStdString());
    for (std::size_t i = 0; i < found.size() && i < static_cast<std::size_t>(MOST_MATCHES); ++i) {
        auto* item = new QListWidgetItem(MatchText(*found[i]), m_matches);
        item->setData(Qt::UserRole, found[i]->id);
    }
    m_matches->setVisible(!found.empty());
}

void CProgramEditorPane::UpdateTitle()
{
    QString title = "Program Editor";
    if (m_hasProgram) {
        title += " - " + m_title;
        if (IsEdited())
            title += " (edited)";
    }
    setWindowTitle(title);
}
