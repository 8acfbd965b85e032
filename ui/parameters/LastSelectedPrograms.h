#pragma once
// Which two programs Compare Programs... compares: the last two the user selected, in the
// list, the bank or the Collection, in any mix. The place used last is the one that last
// had the keyboard focus (a click, a key or a drag in it gives it the focus).
//   - Two programs selected together in the place used last: those two, in its order.
//   - One selected there: the one selected in the place used before it that holds a
//     selection (it must hold exactly one), then this one.
//   - Anything else (more than two, or one with none or several before it): no pair.
// A place never used, or hidden (a closed pane), counts as holding no selection.

#include "Bank.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <vector>

class CBankPane;
class IBankAccess;
class ILoadedList;
class QWidget;

// A program picked to be compared: its bytes and how the window names it.
struct CPickedProgram {
    CBank::ProgramData data{};
    QString label;   // "Stab Saw (the bank, A 005)"
};

// One place programs are selected in.
struct CSelectionPlace {
    QWidget* view = nullptr;   // the focus in it (or in a widget within it) makes it the place used last
    std::function<std::size_t()> selectedCount;
    // Its selected programs in its order, at most `limit` of them.
    std::function<std::vector<CPickedProgram>(std::size_t limit)> selected;
};

// The library's list: the selected rows, named by their file, bank and number.
CSelectionPlace ListPlace(ILoadedList& list);
// The bank pane (`pane` holds its slots): the selected slot.
CSelectionPlace BankPlace(IBankAccess& bank, QWidget* pane);

class CLastSelectedPrograms : public QObject {
    Q_OBJECT
public:
    explicit CLastSelectedPrograms(QObject* parent = nullptr);

    void AddPlace(CSelectionPlace place);

    // Whether there are two programs to compare now (quick: for the command's update).
    bool HasPair() const;
    // The two, the earlier selected first; empty when there is no pair.
    std::vector<CPickedProgram> Pair() const;

private:
    struct CTake {
        std::size_t place;
        std::size_t count;
    };
    // Where the pair comes from, first program first; empty when there is none.
    std::vector<CTake> Takes() const;
    std::size_t CountIn(std::size_t place) const;
    void OnFocusChanged(QWidget* now);

    std::vector<CSelectionPlace> m_places;
    std::vector<std::size_t> m_used;   // the places used so far, the last used first
};
