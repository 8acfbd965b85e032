#pragma once
// What a feature sees of the main window as the home of its commands: the menus to put
// them in, the command updater that enables them, the status bar, a place to dock a pane,
// the window's layout kept in the settings, a say before the window closes, and the
// window as the parent of its dialogs.

#include <QtCore/qnamespace.h>

#include <functional>

class CCommandUpdater;
class QAction;
class QDockWidget;
class QMenu;
class QString;
class QWidget;

enum class HostMenu { File, Edit, View, Program, Help };

class ICommandHost {
public:
    // Answers whether the window may close now (it may ask the user first).
    using CloseGuard = std::function<bool()>;

    virtual ~ICommandHost() = default;

    // The main window: the parent of dialogs and message boxes and the owner of the
    // commands' actions.
    virtual QWidget* Window() = 0;
    virtual CCommandUpdater& Updater() = 0;
    // The menu bar's menu. Edit is made, right after File, the first time it is asked for.
    virtual QMenu* Menu(HostMenu menu) = 0;
    // The window's own command with this id (to place a feature's commands beside it), or
    // null.
    virtual QAction* Action(int commandId) const = 0;
    // A note in the status bar's message pane, gone after `timeoutMs` (0: until the next).
    virtual void ShowStatusMessage(const QString& text, int timeoutMs) = 0;

    // Docks `pane` in the window, hidden until the stored layout or its feature shows it.
    virtual void AddPane(QDockWidget* pane, Qt::DockWidgetArea area) = 0;
    // Puts the bars and the docked panes where the settings say, once every pane is docked.
    // A missing or damaged value leaves the default layout.
    virtual void RestoreLayout() = 0;

    // Asked, in the order added, before the window closes; the first to answer false keeps
    // it open.
    virtual void AddCloseGuard(CloseGuard guard) = 0;
    // Called, in the order added, when the window closes: every guard said yes and the
    // window has written its own settings.
    using ClosedHandler = std::function<void()>;
    virtual void WhenClosed(ClosedHandler handler) = 0;
};
