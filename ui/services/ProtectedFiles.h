#pragma once
// Files this process must neither read nor write over while it holds them open: the
// Collection's database and the files SQLite keeps beside it. Closing any descriptor of such
// a file ends every lock the process holds on it (a record lock belongs to the process, not
// to the descriptor), and a file saved in its place takes from the connections what they
// write. A guard names such files while it lives; Open, Open Bank and every save
// (SaveBytesAtomically) ask before they touch a file.

#include <QString>

#include <functional>
#include <string>

class CProtectedFiles {
public:
    // Why `path` must not be touched, in a few words ("It is the Collection's own file"), or
    // empty for a file that may be.
    using Check = std::function<QString(const QString& path)>;

    explicit CProtectedFiles(Check check);
    ~CProtectedFiles();
    CProtectedFiles(const CProtectedFiles&) = delete;
    CProtectedFiles& operator=(const CProtectedFiles&) = delete;

    // The first living guard's words for `path`, or empty. Safe from any thread.
    static QString WhyProtected(const QString& path);

private:
    Check m_check;
};

// What Open and Open Bank tell of a file they must not read, as its reader's error ("... : it
// is not opened"); empty for a file they may read.
std::string NotOpenedText(const QString& path);
