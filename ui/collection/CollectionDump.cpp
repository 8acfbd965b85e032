#include "CollectionDump.h"

#include "CollectionModel.h"
#include "CollectionView.h"
#include "SyxProgram.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QSaveFile>
#include <QTimer>

namespace {
// Writes the dump once the events of a change have run; a burst of changes writes once.
class CDumpWriter : public QObject {
public:
    CDumpWriter(CCollectionView& view, const QString& file) : QObject(&view), m_view(view), m_file(file)
    {
        m_timer.setSingleShot(true);
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this] { Write(); });
        CCollectionModel* model = view.Model();
        connect(model, &QAbstractItemModel::modelReset, &m_timer, qOverload<>(&QTimer::start));
        connect(model, &QAbstractItemModel::dataChanged, &m_timer, qOverload<>(&QTimer::start));
        connect(model, &QAbstractItemModel::layoutChanged, &m_timer, qOverload<>(&QTimer::start));
        connect(qApp, &QApplication::focusChanged, &m_timer, qOverload<>(&QTimer::start));
        view.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            m_timer.start();
        return QObject::eventFilter(watched, event);
    }

private:
    void Write()
    {
        QSaveFile out(m_file);
        if (out.open(QIODevice::WriteOnly)) {
            out.write(CollectionDumpText(m_view).toUtf8());
            out.commit();
        }
    }

    CCollectionView& m_view;
    QString m_file;
    QTimer m_timer;
};
}  // namespace

QString CollectionDumpFile()
{
    return qEnvironmentVariable("VELTRIX_DUMP_COLLECTION");
}

QString CollectionDumpText(const CCollectionView& view)
{
    const QWidget* focus = QApplication::focusWidget();
    QString text = QString("visible\t%1\n").arg(view.isVisible() ? 1 : 0);
    text += "focus\t" + (focus != nullptr ? focus->objectName() : QString()) + '\n';
    text += "search\t" + view.SearchField()->text() + '\n';
    const CCollectionModel& model = *view.Model();
    text += QString("rows\t%1\n").arg(model.rowCount());
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.Program(row) == nullptr) {   // not read yet
            text += "row\t0\t\t\n";
            continue;
        }
        const CCollectionRow& program = *model.Program(row);
        text += QString("row\t%1\t%2\t%3\n")
                    .arg(program.id)
                    .arg(QString::fromLatin1(program.shownName.c_str()),
                         QString::fromLatin1(VOICE_MODE_NAMES[program.voiceModeIndex & 3]));
    }
    return text;
}

void DumpCollectionViewOnChange(CCollectionView& view, const QString& file)
{
    new CDumpWriter(view, file);
}
