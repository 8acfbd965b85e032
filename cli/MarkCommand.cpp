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
            if (!ReadSucceeded(*collection, context))
                return CLI_EXIT_COLLECTION;
            context.err << "There is no program " << id << " in the Collection (veltrix-cli search lists them)"
                        << std::endl;
            return CLI_EXIT_USAGE;
        }
    }
    // All the programs in one transaction: a failure part-way (a lock, a full disk) marks none.
    CollectionId failed = 0;
    std::string error;
    const bool done = collection->ChangeTogether(
        [&](std::string& why) {
            for (CollectionId id : options.ids) {
                bool marked = false;
                switch (options.mark) {
                case CliMark::Favourite: marked = collection->SetFavourite(id, true, why); break;
                case CliMark::NoFavourite: marked = collection->SetFavourite(id, false, why); break;
                case CliMark::Hide: marked = collection->SetHidden(id, true, why); break;
                case CliMark::Unhide: marked = collection->SetHidden(id, false, why); break;
                case CliMark::Tag: marked = collection->AddTag(id, options.tag, why); break;
                case CliMark::Untag: marked = collection->RemoveTag(id, options.tag, why); break;
                case CliMark::Rename: marked = collection->Rename(id, options.newName, why); break;
                case CliMark::None: marked = true; break;
                }
                if (!marked) {
                    failed = id;
                    return false;
                }
            }
            return true;
        },
        error);
    if (!done) {
        context.err << (failed != 0 ? "Cannot mark program " + std::to_string(failed) : std::string("Cannot mark"))
                    << ": " << error << (options.ids.size() > 1 ? " (no program was marked)" : "") << std::endl;
        return CLI_EXIT_COLLECTION;
    }
    return CLI_EXIT_OK;
}
