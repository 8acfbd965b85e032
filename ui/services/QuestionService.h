#pragma once
#include <QString>

class QWidget;

// The answers to a question about changes that are not saved.
enum class SaveChoice { Save, Discard, Cancel };

// Questions the window asks the user. Replaceable in tests.
class IQuestionService {
public:
    virtual ~IQuestionService() = default;
    // Asks whether to save changes that would otherwise be lost: Save, Discard or Cancel.
    virtual SaveChoice AskSaveChanges(QWidget* parent, const QString& text) = 0;
};

class CQtQuestionService : public IQuestionService {
public:
    SaveChoice AskSaveChanges(QWidget* parent, const QString& text) override;
};
