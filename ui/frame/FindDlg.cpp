#include "FindDlg.h"

#include "DialogUnits.h"
#include "services/MessageBoxService.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CFindDlg::CFindDlg(QWidget* parent, IMessageBoxService& messages)
    : QDialog(parent), m_messages(messages)
{
    setWindowTitle("Find");
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const CDialogUnits du(this);

    // Created in tab order: the name box first, so that it has the focus at opening.
    auto* nameLabel = new QLabel("&Name", this);
    nameLabel->setGeometry(du.Rect(5, 27, 24, 8));
    m_edit = new QLineEdit(this);
    m_edit->setGeometry(du.Rect(33, 25, 155, 12));
    nameLabel->setBuddy(m_edit);

    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(du.Rect(197, 6, 50, 14));
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setGeometry(du.Rect(197, 24, 50, 14));

    auto* prompt = new QLabel("Enter the name or part of the name of the Program to find.", this);
    prompt->setGeometry(du.Rect(5, 6, 183, 14));
    prompt->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    prompt->setWordWrap(true);

    setTabOrder(m_edit, ok);
    setTabOrder(ok, cancel);
    connect(ok, &QPushButton::clicked, this, &CFindDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CFindDlg::reject);
    setFixedSize(du.Size(253, 46));
}

int CFindDlg::exec()
{
    DoDataExchange(false);
    m_edit->setFocus();
    return QDialog::exec();
}

void CFindDlg::accept()
{
    if (!DoDataExchange(true)) {
        m_messages.Show(this, QString("Please enter no more than %1 characters.").arg(MAX_NAME_CHARS),
                        MessageIcon::Exclamation);
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    QDialog::accept();
}

bool CFindDlg::DoDataExchange(bool saving)
{
    if (!saving) {
        m_edit->setMaxLength(MAX_NAME_CHARS);
        m_edit->setText(m_strName);
        return true;
    }
    const QString text = m_edit->text();
    if (text.size() > MAX_NAME_CHARS)
        return false;
    m_strName = text;
    return true;
}
