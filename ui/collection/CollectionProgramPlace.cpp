#include "CollectionProgramPlace.h"

#include "CollectionView.h"


CSelectionPlace CollectionProgramPlace(CCollectionView& view)
{
    CSelectionPlace place;
    place.view = &view;
    place.selectedCount = [&view] { return view.Collection() != nullptr ? view.SelectedIds().size() : 0; };
    place.selected = [&view](std::size_t limit) {
        std::vector<CPickedProgram> picked;
        CCollection* collection = view.Collection();
        if (collection == nullptr)
            return picked;
        for (const CCollectionRow& row : view.SelectedPrograms()) {
            if (picked.size() >= limit)
                break;
            CollectionProgramData data{};
            // A program gone since (another window, veltrix-cli) is left out, and with it the pair.
            if (!collection->ProgramData(row.id, data))
                continue;
            CPickedProgram program;
            program.data = data;
            program.label = QString("%1 (Collection, id %2)")
                                .arg(QString::fromStdString(row.shownName))
                                .arg(row.id);
            picked.push_back(program);
        }
        return picked;
    };
    return place;
}
