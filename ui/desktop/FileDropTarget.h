#pragma once
// Files dropped on the window: the .syx files among them, and those in dropped folders, are
// opened as Open opens the files chosen in its dialog.

#include <QObject>
#include <QStringList>

#include <functional>

class QDropEvent;
class QWidget;

class CFileDropTarget : public QObject {
    Q_OBJECT
public:
    using OpenHandler = std::function<void(const QStringList& paths)>;
    using ReportHandler = std::function<void(const QString& text)>;

    // `open` gets the files to read; `report` says why a drop brought nothing.
    CFileDropTarget(QObject* parent, OpenHandler open, ReportHandler report);

    // Takes the file drops aimed at `widget`, before the widget's own handling. With
    // `acceptDrops` the widget is also made a drop site (the window); a child that does not
    // accept drops passes them on to the window anyway.
    void Watch(QWidget* widget, bool acceptDrops);

    static QString NothingToOpenText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnDrop(QDropEvent* event);

    OpenHandler m_open;
    ReportHandler m_report;
};
