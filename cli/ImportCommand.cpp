#include "CollectionCommands.h"

#include "CliCollection.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "ExitCodes.h"
#include "TextOutput.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool HasSyxExtension(const fs::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".syx";
}

// The .syx files under `folder` (any letter case), in name order. Folders that cannot be
// read are passed over; links to folders are not followed, so a loop cannot trap the walk.
std::vector<std::string> SyxFilesUnder(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && HasSyxExtension(it->path()))
            files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int RunImportCommand(const CCliOptions& options, CCliContext& context)
{
    // A file named by the user is taken in whatever its extension; folders give their .syx files.
    std::vector<std::string> files;
    for (const std::string& path : options.files) {
        std::error_code error;
        if (!fs::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        const std::vector<std::string> found = SyxFilesUnder(path);
        if (found.empty())
            context.err << "No .syx file in " << FieldText(path, false) << std::endl;
        files.insert(files.end(), found.begin(), found.end());
    }

    std::unique_ptr<CCollection> collection = OpenCliCollection(options, context);
    if (!collection)
        return CLI_EXIT_COLLECTION;

    int result = CLI_EXIT_OK;
    std::size_t done = 0;
    for (const std::string& path : files) {
        // Each file is taken in whole or not at all, so an interruption between two files
        // leaves everything before it in and nothing of what follows.
        if (context.cancel != nullptr && context.cancel->load()) {
            context.out << std::flush;
            context.err << "Stopped: " << done << " of " << files.size() << " files taken in" << std::endl;
            return CLI_EXIT_INTERRUPTED;
        }
        ++done;
        CImportResult imported;
        std::string error;
        if (collection->ImportFile(path, imported, error)) {
            context.out << FieldText(path, false) << '\t' << imported.programs << '\t' << imported.newPrograms << '\t'
                        << imported.messages << std::endl;
            continue;
        }
        context.out << std::flush;
        // A file the Collection refused is at fault itself; any other failure is the database's.
        if (imported.fileRefused) {
            context.err << "Failed to parse Syx file " << FieldText(path, false) << ". " << error << std::endl;
            if (result == CLI_EXIT_OK)
                result = CLI_EXIT_FILE;
        } else {
            context.err << "Could not take " << FieldText(path, false) << " into the Collection: " << error
                        << std::endl;
            result = CLI_EXIT_COLLECTION;
        }
    }
    return result;
}
