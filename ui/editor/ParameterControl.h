#pragma once
// One parameter's control in the Program Editor, made from its entry in the parameter table:
// a list as a drop-down that also takes a typed name, a number as a slider with a spin box
// that shows and takes the synthesizer's own texts ("-12", "L20", "1/16", "C4"), a switch as
// a check box, the name as a 12-character field, and a compact spin box for each step of a
// row of bars. Every widget of it carries the parameter's name as its accessible name.
//
// Show() puts a program's value in it without telling anyone; what the user does is told
// by edited() (a value in the parameter's range for this program) or nameEdited(), and a
// typed text that is none of the parameter's values by refused().

#include <QObject>
#include <QSpinBox>
#include <QString>

struct CParameter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QWidget;

// A spin box showing a parameter's values as the synthesizer does and reading them back.
class CShownValueSpinBox : public QSpinBox {
    Q_OBJECT
public:
    CShownValueSpinBox(const CParameter& parameter, QWidget* parent);
    // The values the parameter takes here; the box's own range may be wider, to show a
    // value out of range as it is.
    void SetRealRange(int minValue, int maxValue);
    int RealMinimum() const { return m_min; }
    int RealMaximum() const { return m_max; }

signals:
    void refused(const QString& error);

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const CParameter& m_parameter;
    int m_min = 0;
    int m_max = 0;
};

class CParameterControl : public QObject {
    Q_OBJECT
public:
    enum class Kind { Number, List, Switch, Name, Step };

    // The kind a parameter's control is, unless it is a step of a row of bars.
    static Kind KindOf(const CParameter& parameter);

    // The widgets are made as children of `parent`; Label() and Field() are for the caller's
    // layout.
    CParameterControl(const CParameter& parameter, Kind kind, QWidget* parent);

    const CParameter& Parameter() const { return m_parameter; }
    Kind GetKind() const { return m_kind; }
    // "Cutoff" (with its unit in brackets); null for a step.
    QLabel* Label() const { return m_label; }
    // What goes beside the label.
    QWidget* Field() const { return m_field; }
    // The widget that takes the keyboard: the spin box, drop-down, check box or name field.
    QWidget* FocusWidget() const { return m_focus; }
    // Every widget that takes a press or a key (for the gesture that an undo step spans).
    QList<QWidget*> InputWidgets() const;

    // Shows the program's value (`data`: 254 bytes), emitting nothing.
    void Show(const unsigned char* data);

signals:
    void edited(const CParameter* parameter, int value);
    void nameEdited(const QString& name);
    void refused(const QString& error);

private:
    void MakeNumber(QWidget* parent);
    void MakeList(QWidget* parent);
    void MakeSwitch(QWidget* parent);
    void MakeName(QWidget* parent);
    void MakeStep(QWidget* parent);
    void OnSpinEdited(int value);
    void OnListTyped();
    void OnNameTyped(const QString& text);

    const CParameter& m_parameter;
    Kind m_kind;
    QLabel* m_label = nullptr;
    QWidget* m_field = nullptr;
    QWidget* m_focus = nullptr;
    CShownValueSpinBox* m_spin = nullptr;
    QSlider* m_slider = nullptr;
    QComboBox* m_list = nullptr;
    QCheckBox* m_switch = nullptr;
    QLineEdit* m_name = nullptr;
    QString m_shownName;   // the name as last shown or taken
    // What Show() last put in the widgets, so that showing the same again costs nothing.
    bool m_shown = false;
    int m_shownValue = 0;
    int m_shownMin = 0;
    int m_shownMax = 0;
};
