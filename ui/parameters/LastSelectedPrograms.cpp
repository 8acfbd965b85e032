#include "LastSelectedPrograms.h"

#include "SyxProgram.h"
#include "grid/ProgramGrid.h"
#include "host/BankAccess.h"
#include "host/LoadedList.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cstring>

namespace {
QString Text(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

CPickedProgram Picked(const unsigned char* data, const QString& label)
{
    CPickedProgram picked;
    std::memcpy(picked.data.data(), data, picked.data.size());
    picked.label = label;
    return picked;
}

// Only whole programs can be compared (a record of another size never is one).
bool IsWhole(const CSyxProgram* program)
{
    return program != nullptr && program->GetLength() == PROGRAM_DATA_SIZE;
}
}  // namespace

CSelectionPlace ListPlace(ILoadedList& list)
{
    CSelectionPlace place;
    place.view = list.Grid();
    place.selectedCount = [&list] {
        const std::vector<const CSyxProgram*> selected = list.SelectedPrograms();
        return static_cast<std::size_t>(std::count_if(selected.begin(), selected.end(), IsWhole));
    };
    place.selected = [&list](std::size_t limit) {
        std::vector<CPickedProgram> picked;
        for (const CSyxProgram* program : list.SelectedPrograms()) {
            if (picked.size() >= limit)
                break;
            if (IsWhole(program))
                picked.push_back(Picked(program->GetData(), QString("%1 (%2 %3 %4)")
                                                                .arg(Text(program->GetName()),
                                                                     Text(program->GetFileName()),
                                                                     Text(program->GetBankText()),
                                                                     Text(program->GetNumberText()))));
        }
        return picked;
    };
    return place;
}

CSelectionPlace BankPlace(IBankAccess& bank, QWidget* pane)
{
    CSelectionPlace place;
    place.view = pane;
    place.selectedCount = [&bank] {
        return static_cast<std::size_t>(bank.HasBank() && CBank::IsSlot(bank.SelectedSlot()) ? 1 : 0);
    };
    place.selected = [&bank](std::size_t limit) {
        std::vector<CPickedProgram> picked;
        const int slot = bank.SelectedSlot();
        if (limit == 0 || !bank.HasBank() || !CBank::IsSlot(slot))
            return picked;
        const std::unique_ptr<CSyxProgram> record = bank.Bank()->CreateSlotRecord(slot);
        picked.push_back(Picked(bank.Bank()->GetProgram(slot).data(),
                                QString("%1 (the bank, %2)")
                                    .arg(Text(record->GetName()), Text(CBank::SlotName(slot)))));
        return picked;
    };
    return place;
}

CLastSelectedPrograms::CLastSelectedPrograms(QObject* parent) : QObject(parent)
{
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

void CLastSelectedPrograms::AddPlace(CSelectionPlace place)
{
    m_places.push_back(std::move(place));
    // A place that has the focus already is in use.
    OnFocusChanged(QApplication::focusWidget());
}

void CLastSelectedPrograms::OnFocusChanged(QWidget* now)
{
    if (now == nullptr)
        return;
    for (std::size_t i = 0; i < m_places.size(); ++i) {
        QWidget* view = m_places[i].view;
        if (view == nullptr || (view != now && !view->isAncestorOf(now)))
            continue;
        m_used.erase(std::remove(m_used.begin(), m_used.end(), i), m_used.end());
        m_used.insert(m_used.begin(), i);
        return;
    }
}

std::size_t CLastSelectedPrograms::CountIn(std::size_t place) const
{
    const CSelectionPlace& at = m_places[place];
    if (at.view != nullptr && !at.view->isVisible())
        return 0;
    return at.selectedCount ? at.selectedCount() : 0;
}

std::vector<CLastSelectedPrograms::CTake> CLastSelectedPrograms::Takes() const
{
    std::vector<CTake> holding;   // the places used that hold a selection, the last used first
    for (std::size_t place : m_used) {
        if (holding.size() == 2)
            break;
        if (const std::size_t count = CountIn(place); count > 0)
            holding.push_back({place, count});
    }
    if (holding.empty() || holding[0].count > 2)
        return {};
    if (holding[0].count == 2)
        return {holding[0]};
    if (holding.size() < 2 || holding[1].count != 1)
        return {};
    return {holding[1], holding[0]};
}

bool CLastSelectedPrograms::HasPair() const
{
    return !Takes().empty();
}

std::vector<CPickedProgram> CLastSelectedPrograms::Pair() const
{
    std::vector<CPickedProgram> pair;
    for (const CTake& take : Takes()) {
        std::vector<CPickedProgram> picked = m_places[take.place].selected(take.count);
        pair.insert(pair.end(), picked.begin(), picked.end());
    }
    if (pair.size() != 2)
        pair.clear();
    return pair;
}
