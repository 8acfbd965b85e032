#pragma once
#include <QString>
#include <QStringList>

class QWidget;
struct CUiServices;

// The answers to a question about changes that are not saved.
enum class SaveChoice { Save, Discard, Cancel };

// Questions the window asks the user. Replaceable in tests.
class IQuestionService {
public:
    virtual ~IQuestionService() = default;
    // Asks whether to save changes that would otherwise be lost: Save, Discard or Cancel.
    virtual SaveChoice AskSaveChanges(QWidget* parent, const QString& text) = 0;
    // Asks before something that cannot be undone; true only when the user chose the
    // button `confirmText` (Cancel is the default).
    virtual bool AskConfirm(QWidget* parent, const QString& text, const QString& confirmText) = 0;
    // Asks to pick one of `choices` (a slot, one of several synthesizers found), with
    // `current` chosen first; the index picked, or -1 when cancelled. A service that offers
    // no choice cancels.
    virtual int AskChoice(QWidget* parent, const QString& text, const QStringList& choices, int current);
};

class CQtQuestionService : public IQuestionService {
public:
    SaveChoice AskSaveChanges(QWidget* parent, const QString& text) override;
    bool AskConfirm(QWidget* parent, const QString& text, const QString& confirmText) override;
    int AskChoice(QWidget* parent, const QString& text, const QStringList& choices, int current) override;
};

// The services' question service, or the platform's own when none was given.
IQuestionService& QuestionsOf(const CUiServices& services);
