// `check`: what the Collection's file and its sources are worth, without changing anything.
#include "CollectionCommands.h"

#include "CliCollection.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "ExitCodes.h"
#include "TextOutput.h"

int RunCheckCommand(const CCliOptions& options, CCliContext& context)
{
    std::unique_ptr<CCollection> collection = OpenCliCollection(options, context, true, true);
    if (!collection)
        return CLI_EXIT_COLLECTION;
    CCollectionCheck report;
    std::string error;
    if (!collection->FullCheck(report, error)) {
        context.err << "Cannot check the Collection: " << error << std::endl;
        return CLI_EXIT_COLLECTION;
    }
    for (const std::string& problem : report.fileProblems)
        context.out << "damaged file\t" << FieldText(problem, false) << '\n';
    for (const CCollectionSource& source : report.damagedSources)
        context.out << "damaged source\t" << source.id << '\t' << FieldText(source.name, false) << '\t'
                    << source.takenIn << '\n';
    context.out << std::flush;
    if (report.Clean()) {
        context.err << "The Collection is sound: its file passed the integrity check and all " << report.sourcesChecked
                    << " sources match what was taken in." << std::endl;
        return CLI_EXIT_OK;
    }
    if (!report.fileIntact)
        context.err << "The Collection's file is damaged. Make a copy of it before anything else; Veltrix keeps "
                       "reading what it can."
                    << std::endl;
    if (!report.damagedSources.empty())
        context.err << report.damagedSources.size() << " of " << report.sourcesChecked
                    << " sources no longer match what was taken in: they cannot be exported, compared or sent. "
                       "Take those files in again if you still have them."
                    << std::endl;
    return CLI_EXIT_COLLECTION;
}
