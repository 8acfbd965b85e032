#include "CollectionCommands.h"

#include "CliCollection.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "ExitCodes.h"
#include "TextOutput.h"

#include "ImportBatch.h"

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

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
// An interruption ends the walk early.
std::vector<std::string> SyxFilesUnder(const std::string& folder, const std::atomic<bool>* cancel)
{
    std::vector<std::string> files;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (cancel != nullptr && cancel->load())
            break;
        std::error_code typeError;
        if (it->is_regular_file(typeError) && HasSyxExtension(it->path()))
            files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool Cancelled(const CCliContext& context)
{
    return context.cancel != nullptr && context.cancel->load();
}

enum class FileKind { Regular, Other, Unreadable };

// What `path` is (its links followed), found without opening it: opening a pipe that has no
// writer, or a device, for reading may wait for ever.
FileKind KindOfFile(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return FileKind::Unreadable;
    return S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Other;
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
        const std::vector<std::string> found = SyxFilesUnder(path, context.cancel);
        if (found.empty() && !Cancelled(context))
            context.err << "No .syx file in " << ShownArgument(path) << std::endl;
        files.insert(files.end(), found.begin(), found.end());
    }

    std::unique_ptr<CCollection> collection = OpenCliCollection(options, context);
    if (!collection)
        return CLI_EXIT_COLLECTION;

    int result = CLI_EXIT_OK;
    std::size_t done = 0;
    const auto stopped = [&] {
        context.out << std::flush;
        context.err << "Stopped: " << done << " of " << files.size() << " files taken in" << std::endl;
        return CLI_EXIT_INTERRUPTED;
    };
    // Many files go into each transaction, and each is told once the transaction holding it
    // committed: an interruption keeps every file told and nothing of what follows.
    CImportBatch batch(*collection, [&](const CImportBatch::COutcome& imported) {
        if (!imported.taken && Cancelled(context))
            return;   // the wait for the database was given up: stopped below
        ++done;
        const std::string& path = imported.path;
        if (imported.taken) {
            context.out << FieldText(path, false) << '\t' << imported.result.programs << '\t'
                        << imported.result.newPrograms << '\t' << imported.result.messages << std::endl;
            return;
        }
        context.out << std::flush;
        // A file the Collection refused is at fault itself; any other failure is the database's.
        if (imported.result.fileRefused) {
            context.err << "Failed to parse Syx file " << ShownArgument(path) << ". " << imported.error << std::endl;
            if (result == CLI_EXIT_OK)
                result = CLI_EXIT_FILE;
        } else {
            context.err << "Could not take " << ShownArgument(path)
                        << " into the Collection: " << ShownMessage(imported.error, path) << std::endl;
            result = CLI_EXIT_COLLECTION;
        }
    });
    for (const std::string& path : files) {
        if (Cancelled(context))
            break;
        // Only files are read: a pipe or a device could hold the import for ever.
        if (KindOfFile(path) == FileKind::Other) {
            batch.Commit();   // told in order
            ++done;
            context.out << std::flush;
            context.err << "Failed to parse Syx file " << ShownArgument(path)
                        << ". It is not a regular file (a pipe, a device or a socket), so it was not read" << std::endl;
            if (result == CLI_EXIT_OK)
                result = CLI_EXIT_FILE;
            continue;
        }
        batch.Add(path);
    }
    batch.Commit();
    return Cancelled(context) ? stopped() : result;
}
