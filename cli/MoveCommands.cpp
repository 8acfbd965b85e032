// Moving house: backup, restore and merge of the whole Collection.

#include "CollectionCommands.h"

#include "CliCollection.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "CollectionBackup.h"
#include "ExitCodes.h"
#include "TextOutput.h"

namespace {

int ExitCodeOf(CollectionCopyOutcome outcome)
{
    switch (outcome) {
    case CollectionCopyOutcome::Done: return CLI_EXIT_OK;
    case CollectionCopyOutcome::Cancelled: return CLI_EXIT_INTERRUPTED;
    case CollectionCopyOutcome::Refused: return CLI_EXIT_USAGE;
    case CollectionCopyOutcome::FileFailed: return CLI_EXIT_FILE;
    case CollectionCopyOutcome::CollectionFailed: return CLI_EXIT_COLLECTION;
    }
    return CLI_EXIT_COLLECTION;
}

// Stops the work when the user interrupts; shows how far it is when stderr is a terminal.
CCollectionProgress Progress(CCliContext& context, CProgressLine& line)
{
    return [&context, &line](std::int64_t done, std::int64_t total) {
        if (context.cancel != nullptr && context.cancel->load())
            return false;
        line.Update(static_cast<std::size_t>(done), static_cast<std::size_t>(total));
        return true;
    };
}

} // namespace

int RunBackupCommand(const CCliOptions& options, CCliContext& context)
{
    std::string written, error;
    CProgressLine line(context.err, context.interactive, "Backing up...");
    const CollectionCopyOutcome outcome = BackUpCollection(CliCollectionPath(options, context), options.files[0],
                                                           Progress(context, line), written, error);
    line.Finish();
    if (outcome == CollectionCopyOutcome::Cancelled) {
        context.err << "Stopped: no backup was written" << std::endl;
    } else if (outcome != CollectionCopyOutcome::Done) {
        context.err << FieldText(error, false) << std::endl;
    } else {
        context.out << FieldText(written, false) << std::endl;
    }
    return ExitCodeOf(outcome);
}

int RunRestoreCommand(const CCliOptions& options, CCliContext& context)
{
    const std::string path = CliCollectionPath(options, context);
    std::string setAside, error;
    CProgressLine line(context.err, context.interactive, "Copying the backup in...");
    const CollectionCopyOutcome outcome
        = RestoreCollection(path, options.files[0], Progress(context, line), setAside, error);
    line.Finish();
    if (outcome == CollectionCopyOutcome::Cancelled) {
        context.err << "Stopped: the Collection is as it was" << std::endl;
    } else if (outcome != CollectionCopyOutcome::Done) {
        context.err << FieldText(error, false) << std::endl;
    } else {
        if (!setAside.empty())
            context.out << FieldText(setAside, false) << std::endl;
        if (context.interactive)
            context.err << "The Collection is now the copy " << FieldText(options.files[0], false)
                        << (setAside.empty() ? std::string() : "; the one before it is kept as " + FieldText(setAside, false))
                        << std::endl;
    }
    return ExitCodeOf(outcome);
}

int RunMergeCommand(const CCliOptions& options, CCliContext& context)
{
    std::unique_ptr<CCollection> collection = OpenCliCollection(options, context);
    if (!collection)
        return CLI_EXIT_COLLECTION;
    bool shown = false;
    const CCollectionProgress progress = [&context, &shown](std::int64_t done, std::int64_t total) {
        if (context.cancel != nullptr && context.cancel->load())
            return false;
        if (context.interactive && total > 0) {
            context.err << "\rMerging... " << done << " of " << total << " steps (" << done * 100 / total << "%)\x1b[K"
                        << std::flush;
            shown = true;
        }
        return true;
    };
    CMergeResult result;
    std::string error;
    const CollectionCopyOutcome outcome = collection->Merge(options.files[0], progress, result, error);
    if (shown)
        context.err << '\n';
    if (outcome == CollectionCopyOutcome::Cancelled) {
        context.err << "Stopped: the sources taken in so far are kept; merge again to take in the rest" << std::endl;
    } else if (outcome != CollectionCopyOutcome::Done) {
        context.err << FieldText(error, false) << std::endl;
    } else {
        context.out << result.sources << '\t' << result.programs << '\t' << result.lists << std::endl;
        for (const auto& [name, kept] : result.renamedLists)
            context.err << "The list \"" << FieldText(name, false) << "\" is in both; the other's is kept as \""
                        << FieldText(kept, false) << "\"" << std::endl;
    }
    return ExitCodeOf(outcome);
}
