#include "CollectionCommands.h"

#include "AtomicFile.h"
#include "CliCollection.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "ExitCodes.h"
#include "ExportFileName.h"
#include "SyxFormat.h"
#include "SyxProgram.h"
#include "TextOutput.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

int WriteFile(const std::string& path, const std::vector<unsigned char>& bytes, CCliContext& context)
{
    CAtomicFileWriter file;
    std::string error;
    if (!file.Begin(path, error) || !file.Commit(bytes, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_FILE;
    }
    return CLI_EXIT_OK;
}

void SayWritten(CCliContext& context, std::size_t bytes, const std::string& path)
{
    if (context.interactive)
        context.err << "Wrote " << GroupedNumber(bytes) << " bytes to " << path << std::endl;
}

int ExportPrograms(CCollection& collection, const CCliOptions& options, CCliContext& context)
{
    // Every id is checked before anything is written.
    std::vector<CCollectionProgram> programs;
    for (CollectionId id : options.ids) {
        CCollectionProgram program;
        if (!collection.GetProgram(id, program)) {
            if (!ReadSucceeded(collection, context))
                return CLI_EXIT_COLLECTION;
            context.err << "There is no program " << id << " in the Collection (veltrix-cli search lists them)"
                        << std::endl;
            return CLI_EXIT_USAGE;
        }
        programs.push_back(program);
    }

    std::error_code fsError;
    const bool intoFolder = programs.size() > 1 || fs::is_directory(options.output, fsError);
    if (intoFolder) {
        fs::create_directories(options.output, fsError);
        if (!fs::is_directory(options.output)) {
            context.err << "Cannot make the folder " << options.output
                        << (fsError ? ": " + fsError.message() : std::string()) << std::endl;
            return CLI_EXIT_FILE;
        }
    }
    for (const CCollectionProgram& program : programs) {
        CollectionProgramData data;
        if (!collection.ProgramData(program.id, data)) {
            context.err << "Cannot read program " << program.id << " from the Collection"
                        << (collection.ReadFailed() ? ": " + collection.ReadError() : std::string()) << std::endl;
            return CLI_EXIT_COLLECTION;
        }
        const std::vector<unsigned char> bytes =
            BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, data.data(), PROGRAM_DATA_SIZE);
        const std::string path = intoFolder ? (fs::path(options.output) /
                                               ProgramExportFileName(program.id, program.shownName))
                                                  .string()
                                            : options.output;
        if (const int code = WriteFile(path, bytes, context))
            return code;
        SayWritten(context, bytes.size(), path);
    }
    return CLI_EXIT_OK;
}

}  // namespace

int RunExportCommand(const CCliOptions& options, CCliContext& context)
{
    std::unique_ptr<CCollection> collection = OpenCliCollection(options, context, true);
    if (!collection)
        return CLI_EXIT_COLLECTION;
    if (!options.ids.empty())
        return ExportPrograms(*collection, options, context);

    std::vector<unsigned char> bytes;
    std::string error;
    if (!options.source.empty()) {
        CCollectionSource source;
        const std::vector<CCollectionSource> sources = collection->Sources();
        if (!ReadSucceeded(*collection, context))
            return CLI_EXIT_COLLECTION;
        if (!FindSource(sources, options.source, source, error)) {
            context.err << error << std::endl;
            return CLI_EXIT_USAGE;
        }
        if (!collection->SourceBytes(source.id, bytes)) {
            context.err << "Cannot export " << FieldText(source.name, false) << ": "
                        << (collection->ReadFailed() ? collection->ReadError() : std::string("it is gone")) << std::endl;
            return CLI_EXIT_COLLECTION;
        }
    } else {
        CCollectionList list;
        if (!collection->FindList(options.list, list)) {
            if (!ReadSucceeded(*collection, context))
                return CLI_EXIT_COLLECTION;
            std::string names;
            for (const CCollectionList& known : collection->Lists())
                names += (names.empty() ? "" : ", ") + ("\"" + FieldText(known.name, false) + "\"");
            context.err << "There is no list \"" << FieldText(options.list, false) << "\" in the Collection"
                        << (names.empty() ? std::string() : "; the lists are: " + names) << std::endl;
            return CLI_EXIT_USAGE;
        }
        if (!collection->ListDump(list.id, bytes, error)) {
            context.err << error << std::endl;
            return collection->ReadFailed() ? CLI_EXIT_COLLECTION : CLI_EXIT_USAGE;
        }
    }
    if (const int code = WriteFile(options.output, bytes, context))
        return code;
    SayWritten(context, bytes.size(), options.output);
    return CLI_EXIT_OK;
}
