#include "CollectionCommands.h"

#include "CliCollection.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "ExitCodes.h"

int RunMarkCommand(const CCliOptions& options, CCliContext& context)
{
    std::unique_ptr<CCollection> collection = OpenCliCollection(options, context);
    if (!collection)
        return CLI_EXIT_COLLECTION;
    // Every id is checked first, so that a typing error marks nothing.
    for (CollectionId id : options.ids) {
        CCollectionProgram program;
        if (!collection->GetProgram(id, program)) {
            context.err << "There is no program " << id << " in the Collection (veltrix-cli search lists them)"
                        << std::endl;
            return CLI_EXIT_USAGE;
        }
    }
    for (CollectionId id : options.ids) {
        std::string error;
        bool done = false;
        switch (options.mark) {
        case CliMark::Favourite: done = collection->SetFavourite(id, true, error); break;
        case CliMark::NoFavourite: done = collection->SetFavourite(id, false, error); break;
        case CliMark::Hide: done = collection->SetHidden(id, true, error); break;
        case CliMark::Unhide: done = collection->SetHidden(id, false, error); break;
        case CliMark::Tag: done = collection->AddTag(id, options.tag, error); break;
        case CliMark::Untag: done = collection->RemoveTag(id, options.tag, error); break;
        case CliMark::Rename: done = collection->Rename(id, options.newName, error); break;
        case CliMark::None: break;
        }
        if (!done) {
            context.err << "Cannot mark program " << id << ": " << error << std::endl;
            return CLI_EXIT_COLLECTION;
        }
    }
    return CLI_EXIT_OK;
}
