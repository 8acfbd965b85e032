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
        context.err << "Wrote " << GroupedNumber(bytes) << " bytes to " << ShownArgument(path) << std::endl;
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
    std::vector<std::string> paths;
    for (const CCollectionProgram& program : programs)
        paths.push_back(intoFolder ? (fs::path(options.output) / ProgramExportFileName(program.id, program.shownName))
                                         .string()
                                   : options.output);
    std::string error;
    for (const std::string& path : paths)
        if (WritesOverCollection(CliCollectionPath(options, context), path, error)) {
            context.err << error << std::endl;
            return CLI_EXIT_USAGE;
        }
    if (intoFolder) {
        fs::create_directories(options.output, fsError);
        std::error_code typeError;
        if (!fs::is_directory(options.output, typeError)) {
            const std::error_code& reason = fsError ? fsError : typeError;
            context.err << "Cannot make the folder " << ShownArgument(options.output)
                        << (reason ? ": " + reason.message() : std::string(": a file of that name is there"))
                        << std::endl;
            return CLI_EXIT_FILE;
        }
    }
    for (std::size_t i = 0; i < programs.size(); ++i) {
        CollectionProgramData data;
        if (!collection.ProgramData(programs[i].id, data)) {
            context.err << "Cannot read program " << programs[i].id << " from the Collection"
                        << (collection.ReadFailed() ? ": " + collection.ReadError() : std::string()) << std::endl;
            return CLI_EXIT_COLLECTION;
        }
        const std::vector<unsigned char> bytes =
            BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, data.data(), PROGRAM_DATA_SIZE);
        if (const int code = WriteFile(paths[i], bytes, context))
            return code;
        SayWritten(context, bytes.size(), paths[i]);
    }
    return CLI_EXIT_OK;
}

}  // namespace

int RunExportCommand(const CCliOptions& options, CCliContext& context)
{
    std::string error;
    if (WritesOverCollection(CliCollectionPath(options, context), options.output, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_USAGE;
    }
    std::unique_ptr<CCollection> collection = OpenCliCollection(options, context, true);
    if (!collection)
        return CLI_EXIT_COLLECTION;
    if (!options.ids.empty())
        return ExportPrograms(*collection, options, context);

    std::vector<unsigned char> bytes;
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
            context.err << "There is no list \"" << ShownArgument(options.list) << "\" in the Collection"
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
