#pragma once
#include <QDialog>

// Shows the application's icon, name and release.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
