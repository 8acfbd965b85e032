#pragma once
// While the pointer is on a greyed command, in a menu or on the tool bar, the status bar
// says what the command needs first ("Open or start a bank first") instead of its prompt.
// The update handlers tell it (CCmdUI::EnableIf); a command that is enabled, or greyed
// without such a text, shows its prompt as before (Qt's menus show none for a greyed item).

#include <QObject>
#include <QString>

class QAction;

// What the command needs before it can run; empty when it runs, or when nothing is said.
QString NeedsFirst(const QAction& action);
void SetNeedsFirst(QAction& action, const QString& needsFirst);

class CDisabledCommandTips : public QObject {
    Q_OBJECT
public:
    // Watches every menu and tool button of the application; lives as long as `parent`.
    explicit CDisabledCommandTips(QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnMenuMove(class QMenu* menu, QAction* action);
};
