#pragma once
// The bank comes back after a restart: at close the window keeps where the bank can be read
// again (its file, or the Collection list it came from; see CBankOrigin), and at the next
// start that is made the bank again. A bank from nowhere (a receive never saved, a bank
// started anew) leaves nothing to come back; unsaved changes are asked about at close as
// ever, so what comes back is the bank as saved.

#include <QObject>
#include <QString>

#include <functional>

class IBankAccess;
class IProfile;

class CLastBank : public QObject {
    Q_OBJECT
public:
    // Reads the bank again from where it is: true when it is the bank now, or false with
    // the reason.
    using Reopener = std::function<bool(const QString& where, QString& error)>;

    CLastBank(IProfile& profile, IBankAccess& bank, QObject* parent);

    // Keeps the bank's origin in the settings (done when the window closes).
    void Store();
    // Makes the stored bank the bank again: a file through `reopenFile`, a list through
    // `reopenList` (none: no Collection, the list is left alone). When it cannot be read,
    // `note` gets a line saying so for the status bar. Nothing stored, nothing happens.
    void Reopen(const Reopener& reopenFile, const Reopener& reopenList,
                const std::function<void(const QString&)>& note);

private:
    IProfile& m_profile;
    IBankAccess& m_bank;
};
