#pragma once
#include <QString>

class QWidget;

// The icons the program's message boxes use: exclamation and stop for failures,
// information for a good outcome worth telling (a bank the synthesizer took).
enum class MessageIcon { Exclamation, Stop, Information };

// Shows a modal message box with an OK button, titled with the application name.
class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    virtual void Show(QWidget* parent, const QString& text, MessageIcon icon) = 0;
};

// With VELTRIX_ECHO_MESSAGES=1 in the environment every message is also written to
// stderr as "Veltrix message (<icon>): <text>", so that a script driving the real window
// (the VM tests) can read what the window said.
class CQtMessageBoxService : public IMessageBoxService {
public:
    void Show(QWidget* parent, const QString& text, MessageIcon icon) override;
};
