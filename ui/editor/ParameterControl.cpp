#include "ParameterControl.h"

#include "ProgramParameters.h"
#include "SyxProgram.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <algorithm>
#include <functional>
#include <string>

namespace {

constexpr int NAME_LENGTH = 12;

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// The step Page Up and Page Down take: a tenth of the range.
int PageStep(int minValue, int maxValue)
{
    return std::max(1, (maxValue - minValue) / 10);
}

bool IsSwitchList(const CParameter& parameter)
{
    if (parameter.display != ParamDisplay::List || parameter.minValue != 0 || parameter.maxValue != 1
        || parameter.listNames == nullptr || parameter.listSize < 2)
        return false;
    const QString on = QString::fromLatin1(parameter.listNames[1]);
    return on.compare("On", Qt::CaseInsensitive) == 0 || on.compare("Ena", Qt::CaseInsensitive) == 0;
}

// Lets a list's drop-down take a typed name with Return, and step by a tenth with Page Up
// and Page Down.
class CListKeys : public QObject {
public:
    CListKeys(QComboBox* list, std::function<void()> typed) : QObject(list), m_list(list), m_typed(std::move(typed)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_typed();
            return true;
        }
        if (key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown) {
            const int step = PageStep(0, m_list->count() - 1) * (key->key() == Qt::Key_PageUp ? 1 : -1);
            const int index = std::clamp(m_list->currentIndex() + step, 0, m_list->count() - 1);
            if (index != m_list->currentIndex()) {
                m_list->setCurrentIndex(index);
                emit m_list->activated(index);
            }
            return true;
        }
        return false;
    }

private:
    QComboBox* m_list;
    std::function<void()> m_typed;
};

}  // namespace

CShownValueSpinBox::CShownValueSpinBox(const CParameter& parameter, QWidget* parent)
    : QSpinBox(parent), m_parameter(parameter), m_min(parameter.minValue), m_max(parameter.maxValue)
{
    setKeyboardTracking(false);   // a typed value counts once Return is pressed
    setRange(m_min, m_max);
    setAccelerated(false);
}

void CShownValueSpinBox::SetRealRange(int minValue, int maxValue)
{
    m_min = minValue;
    m_max = maxValue;
}

QString CShownValueSpinBox::textFromValue(int value) const
{
    if (value < m_min || value > m_max)
        return QString("%1 (out of range)").arg(value);
    return Text(ShownValueText(m_parameter, value));
}

int CShownValueSpinBox::valueFromText(const QString& text) const
{
    int value = 0;
    std::string error;
    return ParseShownText(m_parameter, text.toStdString(), value, error) ? value : this->value();
}

QValidator::State CShownValueSpinBox::validate(QString& text, int&) const
{
    int value = 0;
    std::string error;
    if (ParseShownText(m_parameter, text.trimmed().toStdString(), value, error) && value >= m_min && value <= m_max)
        return QValidator::Acceptable;
    return QValidator::Intermediate;   // on the way to a value, or told when Return is pressed
}

void CShownValueSpinBox::fixup(QString& text) const
{
    int value = 0;
    std::string error;
    if (!ParseShownText(m_parameter, text.trimmed().toStdString(), value, error))
        emit const_cast<CShownValueSpinBox*>(this)->refused(Text(error));
    else if (value < m_min || value > m_max)
        emit const_cast<CShownValueSpinBox*>(this)->refused(
            QString("%1 takes %2 to %3.")
                .arg(QString::fromLatin1(m_parameter.name), Text(ShownValueText(m_parameter, m_min)),
                     Text(ShownValueText(m_parameter, m_max))));
    text = textFromValue(this->value());
}

void CShownValueSpinBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        stepBy(PageStep(m_min, m_max) * (event->key() == Qt::Key_PageUp ? 1 : -1));
        event->accept();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

CParameterControl::Kind CParameterControl::KindOf(const CParameter& parameter)
{
    if (parameter.display == ParamDisplay::Text)
        return Kind::Name;
    if (IsSwitchList(parameter))
        return Kind::Switch;
    if (parameter.display == ParamDisplay::List)
        return Kind::List;
    return Kind::Number;
}

CParameterControl::CParameterControl(const CParameter& parameter, Kind kind, QWidget* parent)
    : QObject(parent), m_parameter(parameter), m_kind(kind)
{
    if (kind != Kind::Step) {
        QString text = QString::fromLatin1(parameter.name);
        if (parameter.unit != nullptr && parameter.unit[0] != '\0' && kind == Kind::Number)
            text += QString(" (%1)").arg(QString::fromLatin1(parameter.unit));
        m_label = new QLabel(text, parent);
    }
    switch (kind) {
    case Kind::Number: MakeNumber(parent); break;
    case Kind::List: MakeList(parent); break;
    case Kind::Switch: MakeSwitch(parent); break;
    case Kind::Name: MakeName(parent); break;
    case Kind::Step: MakeStep(parent); break;
    }
    const QString name = QString::fromLatin1(parameter.name);
    for (QWidget* widget : InputWidgets())
        widget->setAccessibleName(name);
    if (m_label != nullptr)
        m_label->setBuddy(m_focus);
}

QList<QWidget*> CParameterControl::InputWidgets() const
{
    QList<QWidget*> widgets;
    for (QWidget* widget : {static_cast<QWidget*>(m_spin), static_cast<QWidget*>(m_slider),
                            static_cast<QWidget*>(m_list), static_cast<QWidget*>(m_switch),
                            static_cast<QWidget*>(m_name)})
        if (widget != nullptr)
            widgets.append(widget);
    return widgets;
}

void CParameterControl::MakeNumber(QWidget* parent)
{
    m_field = new QWidget(parent);
    auto* row = new QHBoxLayout(m_field);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    m_slider = new QSlider(Qt::Horizontal, m_field);
    m_slider->setRange(m_parameter.minValue, m_parameter.maxValue);
    // The spin box beside it takes the keyboard: one stop per parameter on Tab.
    m_slider->setFocusPolicy(Qt::NoFocus);
    m_slider->setMinimumWidth(80);
    m_spin = new CShownValueSpinBox(m_parameter, m_field);
    row->addWidget(m_slider, 1);
    row->addWidget(m_spin);
    m_focus = m_spin;
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        const QSignalBlocker blocker(m_spin);
        m_spin->setValue(value);
        OnSpinEdited(value);
    });
    connect(m_spin, &QSpinBox::valueChanged, this, [this](int value) {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(value);
        OnSpinEdited(value);
    });
    connect(m_spin, &CShownValueSpinBox::refused, this, &CParameterControl::refused);
}

void CParameterControl::MakeStep(QWidget* parent)
{
    m_spin = new CShownValueSpinBox(m_parameter, parent);
    m_spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_spin->setAlignment(Qt::AlignCenter);
    m_field = m_spin;
    m_focus = m_spin;
    connect(m_spin, &QSpinBox::valueChanged, this, &CParameterControl::OnSpinEdited);
    connect(m_spin, &CShownValueSpinBox::refused, this, &CParameterControl::refused);
}

void CParameterControl::OnSpinEdited(int value)
{
    // Stepping off a value out of range lands in the range.
    const int inRange = std::clamp(value, m_spin->RealMinimum(), m_spin->RealMaximum());
    m_shown = false;   // the widgets now show what the user made, whatever becomes of it
    emit edited(&m_parameter, inRange);
}

void CParameterControl::MakeList(QWidget* parent)
{
    m_list = new QComboBox(parent);
    m_list->setEditable(true);
    m_list->setInsertPolicy(QComboBox::NoInsert);
    for (int value = m_parameter.minValue; value <= m_parameter.maxValue; ++value)
        m_list->addItem(Text(ShownValueText(m_parameter, value)), value);
    m_list->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    m_list->completer()->setCompletionMode(QCompleter::InlineCompletion);
    m_field = m_list;
    m_focus = m_list;
    auto* keys = new CListKeys(m_list, [this] { OnListTyped(); });
    m_list->installEventFilter(keys);
    m_list->lineEdit()->installEventFilter(keys);
    connect(m_list, &QComboBox::activated, this, [this](int index) {
        m_shown = false;
        emit edited(&m_parameter, m_list->itemData(index).toInt());
    });
    // Text typed and left without Return goes back to the value.
    connect(m_list->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (m_list->currentIndex() >= 0 && m_list->currentText() != m_list->itemText(m_list->currentIndex()))
            m_list->setEditText(m_list->itemText(m_list->currentIndex()));
    });
}

void CParameterControl::OnListTyped()
{
    const QString typed = m_list->currentText().trimmed();
    int value = 0;
    std::string error;
    if (!ParseShownText(m_parameter, typed.toStdString(), value, error) || value < m_parameter.minValue
        || value > m_parameter.maxValue) {
        emit refused(error.empty() ? QString("%1 does not take %2.").arg(QString::fromLatin1(m_parameter.name), typed)
                                   : Text(error));
        if (m_list->currentIndex() >= 0)
            m_list->setEditText(m_list->itemText(m_list->currentIndex()));
        return;
    }
    const int index = value - m_parameter.minValue;
    m_list->setCurrentIndex(index);
    m_list->setEditText(m_list->itemText(index));
    m_shown = false;
    emit edited(&m_parameter, value);
}

void CParameterControl::MakeSwitch(QWidget* parent)
{
    m_switch = new QCheckBox(QString::fromLatin1(m_parameter.listNames[1]), parent);
    m_field = m_switch;
    m_focus = m_switch;
    connect(m_switch, &QCheckBox::clicked, this, [this](bool checked) {
        m_shown = false;
        emit edited(&m_parameter, checked ? 1 : 0);
    });
}

void CParameterControl::MakeName(QWidget* parent)
{
    m_name = new QLineEdit(parent);
    m_name->setMinimumWidth(m_name->fontMetrics().horizontalAdvance(QString(NAME_LENGTH + 2, 'W')));
    m_field = m_name;
    m_focus = m_name;
    connect(m_name, &QLineEdit::textEdited, this, &CParameterControl::OnNameTyped);
    connect(m_name, &QLineEdit::editingFinished, this, [this] {
        if (m_name->text() != m_shownName) {
            m_shownName = m_name->text();
            emit nameEdited(m_shownName);
        }
    });
}

void CParameterControl::OnNameTyped(const QString& text)
{
    // What the synthesizer cannot show is refused, with the reason, rather than dropped.
    // Anything past printable ASCII is a byte of 128 or more in UTF-8, which the model refuses.
    unsigned char scratch[PROGRAM_DATA_SIZE] = {};
    std::string error;
    if (SetProgramName(scratch, text.toStdString(), error)) {
        m_name->setProperty("accepted", text);
        return;
    }
    const int cursor = std::max(0, m_name->cursorPosition() - 1);
    // Back to the text before this key.
    QString previous = m_name->property("accepted").toString();
    m_name->setText(previous);
    m_name->setCursorPosition(std::min(cursor, static_cast<int>(previous.size())));
    emit refused(Text(error));
}

void CParameterControl::Show(const unsigned char* data)
{
    const int value = m_kind == Kind::Name ? 0 : Value(m_parameter, data);
    int minValue = m_parameter.minValue, maxValue = m_parameter.maxValue;
    if (m_kind != Kind::Name) {
        Range(m_parameter, data, minValue, maxValue);
        if (m_shown && value == m_shownValue && minValue == m_shownMin && maxValue == m_shownMax)
            return;
        m_shown = true;
        m_shownValue = value;
        m_shownMin = minValue;
        m_shownMax = maxValue;
    }
    switch (m_kind) {
    case Kind::Number:
    case Kind::Step: {
        const QSignalBlocker blockSpin(m_spin);
        m_spin->SetRealRange(minValue, maxValue);
        m_spin->setRange(std::min(minValue, value), std::max(maxValue, value));
        m_spin->setValue(value);
        if (m_slider != nullptr) {
            const QSignalBlocker blockSlider(m_slider);
            m_slider->setRange(std::min(minValue, value), std::max(maxValue, value));
            m_slider->setValue(value);
            m_slider->setPageStep(PageStep(minValue, maxValue));
        }
        break;
    }
    case Kind::List: {
        const QSignalBlocker block(m_list);
        if (value >= m_parameter.minValue && value <= m_parameter.maxValue) {
            m_list->setCurrentIndex(value - m_parameter.minValue);
            m_list->setEditText(m_list->itemText(value - m_parameter.minValue));
        } else {
            // Shown as it is (a name the list knows but does not offer, or a number out of
            // range), never changed to a value it does not hold.
            m_list->setCurrentIndex(-1);
            m_list->setEditText(Text(std::string(ShownText(m_parameter, data))));
        }
        break;
    }
    case Kind::Switch: {
        const QSignalBlocker block(m_switch);
        m_switch->setTristate(value != 0 && value != 1);
        m_switch->setCheckState(value == 1 ? Qt::Checked : value == 0 ? Qt::Unchecked : Qt::PartiallyChecked);
        m_switch->setToolTip(value == 0 || value == 1 ? QString() : Text(std::string(ShownText(m_parameter, data))));
        break;
    }
    case Kind::Name: {
        const QString name = Text(ProgramNameText(data));
        m_shownName = name;
        m_name->setProperty("accepted", name);
        if (m_name->text() != name) {
            const QSignalBlocker block(m_name);
            m_name->setText(name);
        }
        break;
    }
    }
}
