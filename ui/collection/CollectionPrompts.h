#pragma once
// The small questions the Collection's commands ask: a name, one of a few names, yes or no.
// Replaceable in tests.

#include <QString>
#include <QStringList>

class QWidget;

class ICollectionPrompts {
public:
    virtual ~ICollectionPrompts() = default;
    // Asks for a text, offering `suggestion`; false when cancelled.
    virtual bool AskText(QWidget* parent, const QString& title, const QString& label, const QString& suggestion,
                         QString& answer) = 0;
    // Asks for one of `choices`; false when cancelled.
    virtual bool AskChoice(QWidget* parent, const QString& title, const QString& label, const QStringList& choices,
                           QString& answer) = 0;
    // Asks a question with a button that does what it says (`confirmText`) and Cancel.
    virtual bool AskConfirm(QWidget* parent, const QString& title, const QString& text,
                            const QString& confirmText) = 0;
};

class CQtCollectionPrompts : public ICollectionPrompts {
public:
    bool AskText(QWidget* parent, const QString& title, const QString& label, const QString& suggestion,
                 QString& answer) override;
    bool AskChoice(QWidget* parent, const QString& title, const QString& label, const QStringList& choices,
                   QString& answer) override;
    bool AskConfirm(QWidget* parent, const QString& title, const QString& text, const QString& confirmText) override;
};
