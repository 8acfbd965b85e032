#pragma once
#include <QDialog>
#include <QString>

class QLineEdit;
class IMessageBoxService;

// Asks for a program name, or part of one, to mark in the grid.
class CFindDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int MAX_NAME_CHARS = 16;

    CFindDlg(QWidget* parent, IMessageBoxService& messages);

    // The text of the name box: copied into the box when the dialog opens, and back out
    // when the user presses OK.
    QString m_strName;

    int exec() override;
    void accept() override;

    QLineEdit* NameEdit() const { return m_edit; }

private:
    // Moves m_strName into the box (saving false) or the box into m_strName (saving
    // true). Returns false when the box holds more than MAX_NAME_CHARS characters.
    bool DoDataExchange(bool saving);

    IMessageBoxService& m_messages;
    QLineEdit* m_edit;
};
