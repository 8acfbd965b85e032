#include "AboutDlg.h"

#include "DialogUnits.h"
#include "Icons.h"
#include "VeltrixVersion.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent ? parent : QApplication::activeWindow())
{
    setWindowTitle("About");
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const CDialogUnits du(this);

    auto* icon = new QLabel(this);
    icon->setObjectName("aboutIcon");
    const QRect iconBox = du.Rect(5, 4, 20, 20);
    icon->setGeometry(iconBox);
    icon->setPixmap(AppIcon().pixmap(qMin(iconBox.width(), iconBox.height())));

    auto* text = new QLabel("Veltrix - Release " VELTRIX_VERSION, this);
    text->setObjectName("aboutText");
    text->setTextFormat(Qt::PlainText);
    text->setAlignment(Qt::AlignCenter);
    text->setGeometry(du.Rect(48, 6, 102, 8));

    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(du.Rect(73, 65, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(du.Size(197, 86));
}
