#pragma once
#include <QString>

class QWidget;

// The two icons the program's message boxes use.
enum class MessageIcon { Exclamation, Stop };

// Shows a modal message box with an OK button, titled with the application name.
class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    virtual void Show(QWidget* parent, const QString& text, MessageIcon icon) = 0;
};

class CQtMessageBoxService : public IMessageBoxService {
public:
    void Show(QWidget* parent, const QString& text, MessageIcon icon) override;
};
