#pragma once
// The small questions the Collection's commands ask: a name, or one of a few names.
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
};

class CQtCollectionPrompts : public ICollectionPrompts {
public:
    bool AskText(QWidget* parent, const QString& title, const QString& label, const QString& suggestion,
                 QString& answer) override;
    bool AskChoice(QWidget* parent, const QString& title, const QString& label, const QStringList& choices,
                   QString& answer) override;
};
