#pragma once
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QKeyEvent;
class QLabel;
class QWidget;

// What an update handler may do to its command or status pane.
class CCmdUI {
public:
    virtual ~CCmdUI() = default;
    virtual void Enable(bool enabled) = 0;
    virtual void SetText(const QString& text) = 0;
    // Enables the command when what it needs is there (`met`); otherwise disables it, and
    // while it is hovered the status bar says what to do first ("Tick Midi Active first").
    virtual void EnableIf(bool met, const QString& needsFirst)
    {
        (void)needsFirst;
        Enable(met);
    }
};

using UpdateHandler = std::function<void(CCmdUI&)>;
using CommandHandler = std::function<void()>;

// Runs the update handlers of the commands and status panes whenever the event queue has
// gone idle, and delivers a command only when its update handler, asked again at that
// moment, leaves it enabled: a disabled command never runs, whether it came from the
// menu, the tool bar or an accelerator. The accelerator of a disabled command is still the
// command's key: it does not fall through to the widget with the focus (Ctrl+A would
// select every row of a list) but goes to the command, which then does nothing; unless the
// widget with the focus claims the key as its own (QEvent::ShortcutOverride), as a text
// field claims Ctrl+A whether the command is enabled or not.
class CCommandUpdater : public QObject {
    Q_OBJECT
public:
    explicit CCommandUpdater(QObject* parent = nullptr);

    // Binds the action's trigger to the handler. Without an update handler the command is
    // always enabled.
    void AddCommand(QAction* action, CommandHandler handler, UpdateHandler update = {});

    // Sets the pane's text from its update handler when idle.
    void AddPane(QLabel* pane, UpdateHandler update);

    // Runs every update handler now (the idle hook calls this).
    void UpdateAll();

protected:
    // Catches the keys of disabled commands, which the shortcut map lets through.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Command {
        QAction* action;
        CommandHandler handler;
        UpdateHandler update;
    };
    struct Pane {
        QLabel* label;
        UpdateHandler update;
    };

    void UpdateCommand(const Command& command);
    // Runs the handler when the update handler, asked now, enables the command.
    static void Deliver(const CommandHandler& handler, const UpdateHandler& update);
    // The disabled command whose accelerator the key is in the widget's window, or null.
    const Command* DisabledCommandForKey(const QKeyEvent& key, const QWidget& receiver) const;
    // Whether the receiver, or a widget it sits in, accepts the key's ShortcutOverride.
    static bool WidgetClaimsKey(const QKeyEvent& key, QObject& receiver);

    std::vector<Command> m_commands;
    std::vector<Pane> m_panes;
    bool m_updating = false;
};
