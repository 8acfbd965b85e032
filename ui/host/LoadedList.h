#pragma once
// What a feature sees of the library the main window shows: the loaded programs and the
// files behind them, the grid that lists them (its selection, drags out of it, its context
// menu), and adding to the library as Open does.

#include "Bank.h"

#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class CLibrarySources;
class CProgramGrid;
class CProgramList;
class CSyxProgram;
class QString;

class ILoadedList {
public:
    using FilesReadHandler = std::function<void(const QStringList& paths)>;
    using DumpAddedHandler = std::function<void(const std::vector<unsigned char>& dump, const QString& sourceName)>;

    virtual ~ILoadedList() = default;

    // The loaded programs; row i of the grid shows element i.
    virtual const CProgramList& Programs() const = 0;
    // The 128-program files among the library's sources (those a bank can be made of).
    virtual const CLibrarySources& Sources() const = 0;
    // The grid that lists the programs: its selection, its context menu, drags out of it.
    virtual CProgramGrid* Grid() const = 0;
    // The program of the first selected row (with none selected, of the current row, which
    // the grid draws as selected), or null.
    virtual const CSyxProgram* SelectedProgram() const = 0;
    // The programs of the selected rows (with none selected, the current row's), in grid
    // order.
    virtual std::vector<const CSyxProgram*> SelectedPrograms() const = 0;

    // How the files that cannot be read are told: File > Open gives each its own message
    // box; what may bring many files at once (a drop, a folder, the command line, Recent
    // Files) names them all in one box at the end.
    enum class ReadFailures { BoxForEach, OneBoxAtEnd };
    // Empties the library and reads `paths` as File > Open does once its dialog is
    // confirmed (a broken file is told and left out). Nothing happens for an empty list.
    virtual void OpenFiles(const QStringList& paths, ReadFailures failures) = 0;
    // Appends the programs of a dump held in memory as one more source of the library, as
    // Open appends a file: it counts as a file for the title and the File column, and the
    // grid is refilled. False, with the reader's text and nothing added, for a bad dump.
    virtual bool AddLibrarySource(const std::vector<unsigned char>& dump, const QString& sourceName,
                                  std::string& error) = 0;

    // Appends programs held in memory (the Collection's) as one more source named
    // `sourceName`, numbered A01 to H16 as in a dump, as AddLibrarySource does. Nothing
    // happens for none.
    virtual void AddLibraryPrograms(const std::vector<CBank::ProgramData>& programs, const QString& sourceName) = 0;

    // Called after every Open (its dialog, a drop, the command line, Recent Files) with the
    // files that were read, in the order given; not called when none was.
    virtual void WhenFilesRead(FilesReadHandler handler) = 0;
    // Called after AddLibrarySource took a dump in.
    virtual void WhenDumpAdded(DumpAddedHandler handler) = 0;
};
