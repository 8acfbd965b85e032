// The commands that only read the Collection and print lines: search, sources and diff.
#include "CollectionCommands.h"

#include "CliCollection.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "ExitCodes.h"
#include "ParameterOutput.h"
#include "ProgramSource.h"
#include "TextOutput.h"

namespace {

const char* ChangeWord(SlotChange change)
{
    switch (change) {
    case SlotChange::Renamed: return "renamed";
    case SlotChange::Changed: return "changed";
    case SlotChange::RenamedAndChanged: return "renamed+changed";
    case SlotChange::Unchanged: break;
    }
    return "unchanged";
}

std::string TagsText(const std::vector<std::string>& tags)
{
    std::string text;
    for (const std::string& tag : tags)
        text += (text.empty() ? "" : ",") + FieldText(tag, false);
    return text;
}

}  // namespace

int RunSearchCommand(const CCliOptions& options, CCliContext& context)
{
    std::unique_ptr<CCollection> collection = OpenCliCollection(options, context, true);
    if (!collection)
        return CLI_EXIT_COLLECTION;
    CCollectionQuery query;
    query.text = options.text;
    query.voiceMode = options.voiceMode;
    query.tag = options.tag;
    query.favouritesOnly = options.favourites;
    query.hiddenOnly = options.hidden;
    if (!options.source.empty()) {
        CCollectionSource source;
        std::string error;
        const std::vector<CCollectionSource> sources = collection->Sources();
        if (!ReadSucceeded(*collection, context))
            return CLI_EXIT_COLLECTION;
        if (!FindSource(sources, options.source, source, error)) {
            context.err << error << std::endl;
            return CLI_EXIT_USAGE;
        }
        query.source = source.id;
    }
    const std::vector<CCollectionProgram> programs = collection->Search(query);
    if (!ReadSucceeded(*collection, context))
        return CLI_EXIT_COLLECTION;
    for (const CCollectionProgram& program : programs)
        context.out << program.id << '\t' << FieldText(program.shownName, true) << '\t' << program.voiceMode << '\t'
                    << TagsText(program.tags) << '\t' << program.sourceCount << '\n';
    context.out << std::flush;
    return CLI_EXIT_OK;
}

int RunSourcesCommand(const CCliOptions& options, CCliContext& context)
{
    std::unique_ptr<CCollection> collection = OpenCliCollection(options, context, true);
    if (!collection)
        return CLI_EXIT_COLLECTION;
    const std::vector<CCollectionSource> sources = collection->Sources();
    if (!ReadSucceeded(*collection, context))
        return CLI_EXIT_COLLECTION;
    for (const CCollectionSource& source : sources)
        context.out << FieldText(source.name, false) << '\t' << (source.kind == SourceKind::File ? "file" : source.kind == SourceKind::Synth ? "synth" : "bank")
                    << '\t' << source.programCount << '\t' << source.takenIn << '\n';
    context.out << std::flush;
    return CLI_EXIT_OK;
}

int RunDiffCommand(const CCliOptions& options, CCliContext& context)
{
    std::unique_ptr<CCollection> collection = OpenCliCollection(options, context, true);
    if (!collection)
        return CLI_EXIT_COLLECTION;
    const std::vector<CCollectionSource> sources = collection->Sources();
    if (!ReadSucceeded(*collection, context))
        return CLI_EXIT_COLLECTION;
    CCollectionSource first, second;
    std::string error;
    if (!FindSource(sources, options.files[0], first, error) || !FindSource(sources, options.files[1], second, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_USAGE;
    }
    std::vector<CSlotDifference> differences;
    if (!collection->Compare(first.id, second.id, differences, error)) {
        context.err << error << std::endl;
        // A damaged source or a failed read is the Collection's; anything else is what was asked.
        return collection->ReadFailed() ? CLI_EXIT_COLLECTION : CLI_EXIT_USAGE;
    }
    // --params: each slot's differing parameters under it.
    std::vector<CollectionProgramData> firstPrograms, secondPrograms;
    const SynthModel model = options.parameters ? CliSynthModel(options, context) : SynthModel::MS2000;
    if (options.parameters && !differences.empty() &&
        (!collection->SourceBankPrograms(first.id, firstPrograms, error) ||
         !collection->SourceBankPrograms(second.id, secondPrograms, error))) {
        context.err << error << std::endl;
        return CLI_EXIT_USAGE;
    }
    for (const CSlotDifference& slot : differences) {
        context.out << SlotBank(slot.slot) << '\t' << SlotNumber(slot.slot) << '\t' << ChangeWord(slot.change) << '\t'
                    << FieldText(slot.firstName, true) << '\t' << FieldText(slot.secondName, true) << '\n';
        if (options.parameters) {
            const size_t at = static_cast<size_t>(slot.slot);
            WriteDifferenceLines(context.out,
                                 CompareParameters(firstPrograms[at].data(), secondPrograms[at].data(), model), "\t");
        }
    }
    context.out << std::flush;
    return CLI_EXIT_OK;
}
