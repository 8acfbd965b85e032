#include "CliCollection.h"

#include "AtomicFile.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "TextOutput.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string BaseName(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The absolute forms a path typed here may have been taken in under: as written from the
// current folder (the way import names a source), and with links resolved.
std::vector<std::string> AbsoluteForms(const std::string& path)
{
    std::vector<std::string> forms;
    std::error_code failure;
    const fs::path absolute = fs::absolute(path, failure);
    if (!failure)
        forms.push_back(absolute.lexically_normal().string());
    const fs::path resolved = fs::weakly_canonical(path, failure);
    if (!failure)
        forms.push_back(resolved.string());
    return forms;
}

bool ContainsIgnoringCase(const std::string& text, const std::string& part)
{
    auto lower = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    return lower(text).find(lower(part)) != std::string::npos;
}

// "12 "/home/me/bank.syx" (taken in 2026-12-01T20:15:03), 14 ...": each with the id that
// names it for sure.
std::string Candidates(const std::vector<const CCollectionSource*>& sources, bool withTimes)
{
    std::string text;
    for (const CCollectionSource* source : sources) {
        text += text.empty() ? "" : ", ";
        text += std::to_string(source->id) + " \"" + FieldText(source->name, false) + "\"";
        if (withTimes)
            text += " (taken in " + source->takenIn + ")";
    }
    return text;
}

}  // namespace

bool ParseCollectionId(const std::string& text, CollectionId& id)
{
    if (text.empty() || text.size() > 18)
        return false;
    id = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        id = id * 10 + (c - '0');
    }
    return id > 0;
}

namespace {

// A name as typed: as it is stored, or as veltrix-cli prints it (control characters escaped).
bool SameName(const std::string& stored, const std::string& typed)
{
    return stored == typed || FieldText(stored, false) == typed;
}

// Where a path leads once the links of its folders, and its own when it has one, are
// followed; empty when that cannot be told.
std::string PlaceOf(const std::string& path)
{
    std::error_code failure;
    const fs::path place = fs::weakly_canonical(path, failure);
    return failure ? std::string() : place.string();
}

}  // namespace

bool WritesOverCollection(const std::string& collectionPath, const std::string& output, std::string& error)
{
    const std::string target = FileReplacedBy(output);
    const std::string targetPlace = PlaceOf(target);
    struct stat targetInfo {};
    const bool targetExists = stat(target.c_str(), &targetInfo) == 0;
    // SQLite keeps its files beside the database as named, or beside the file a link names.
    std::vector<std::string> databases{collectionPath};
    if (const std::string place = PlaceOf(collectionPath); !place.empty())
        databases.push_back(place);
    for (const std::string& database : databases)
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            const std::string file = database + suffix;
            struct stat info {};
            const bool sameFile = targetExists && stat(file.c_str(), &info) == 0 && info.st_dev == targetInfo.st_dev &&
                                  info.st_ino == targetInfo.st_ino;
            if (sameFile || (!targetPlace.empty() && PlaceOf(file) == targetPlace)) {
                error = "Will not write " + ShownArgument(output) + ": it is " +
                        (*suffix == '\0' ? std::string("the Collection's database ")
                                          : std::string("a file of the Collection's database ")) +
                        ShownArgument(collectionPath) + "; choose another file";
                return true;
            }
        }
    return false;
}

std::string CliCollectionPath(const CCliOptions& options, const CCliContext& context)
{
    if (!options.collection.empty())
        return options.collection;
    if (!context.collectionPath.empty())
        return context.collectionPath;
    return CCollection::DefaultPath();
}

std::unique_ptr<CCollection> OpenCliCollection(const CCliOptions& options, CCliContext& context, bool forReading,
                                               bool asItIs)
{
    const std::string path = CliCollectionPath(options, context);
    std::string error, notice;
    std::unique_ptr<CCollection> collection = forReading ? CCollection::OpenForReading(path, error, notice, asItIs)
                                                         : CCollection::Open(path, error, notice);
    if (!notice.empty())
        context.err << ShownMessage(notice, path) << std::endl;
    if (!collection)
        context.err << ShownMessage(error, path) << std::endl;
    else if (context.cancel != nullptr)
        collection->SetCancelFlag(context.cancel);   // Ctrl+C also ends a wait for a lock
    return collection;
}

bool ReadSucceeded(const CCollection& collection, CCliContext& context)
{
    if (!collection.ReadFailed())
        return true;
    context.out << std::flush;
    context.err << "Cannot read the Collection: " << collection.ReadError() << std::endl;
    return false;
}

bool FindSource(const std::vector<CCollectionSource>& sources, const std::string& text, CCollectionSource& source,
                std::string& error)
{
    // An id always names its source, whatever the names are.
    CollectionId id = 0;
    if (ParseCollectionId(text, id))
        for (const CCollectionSource& candidate : sources)
            if (candidate.id == id) {
                source = candidate;
                return true;
            }

    std::vector<const CCollectionSource*> matches;
    for (const CCollectionSource& candidate : sources)
        if (SameName(candidate.name, text))
            matches.push_back(&candidate);
    if (matches.empty() && text.find('/') != std::string::npos) {
        for (const std::string& form : AbsoluteForms(text)) {
            for (const CCollectionSource& candidate : sources)
                if (candidate.kind == SourceKind::File && candidate.name == form)
                    matches.push_back(&candidate);
            if (!matches.empty())
                break;
        }
    } else if (matches.empty()) {
        for (const CCollectionSource& candidate : sources)
            if (candidate.kind == SourceKind::File && SameName(BaseName(candidate.name), text))
                matches.push_back(&candidate);
    }

    if (matches.size() == 1) {
        source = *matches.front();
        return true;
    }
    if (matches.size() > 1) {
        error = "\"" + ShownArgument(text) + "\" names more than one source; name one by its id: " +
                Candidates(matches, true);
        return false;
    }
    std::vector<const CCollectionSource*> near;
    for (const CCollectionSource& candidate : sources)
        if (ContainsIgnoringCase(candidate.name, BaseName(text)))
            near.push_back(&candidate);
    error = "There is no source \"" + ShownArgument(text) + "\" in the Collection";
    error += near.empty() ? std::string(" (veltrix-cli sources lists them)") : "; did you mean " + Candidates(near, false);
    return false;
}

std::string SlotBank(int slot)
{
    return std::string(1, static_cast<char>('A' + slot / 16));
}

std::string SlotNumber(int slot)
{
    char number[8];
    std::snprintf(number, sizeof number, "%03d", slot % 16 + 1);
    return number;
}

void TakeReceivedDumpIn(const CCliOptions& options, CCliContext& context, const std::vector<unsigned char>& bytes)
{
    if (options.noCollection)
        return;
    const std::string path = CliCollectionPath(options, context);
    std::string error, notice;
    std::unique_ptr<CCollection> collection = CCollection::Open(path, error, notice);
    if (!notice.empty())
        context.err << ShownMessage(notice, path) << std::endl;
    CImportResult result;
    if (!collection || !collection->ImportSynthDump(bytes, result, error)) {
        context.err << "Warning: " << ShownArgument(options.output)
                    << " was written, but not taken into the Collection: " << ShownMessage(error, path) << std::endl;
        return;
    }
    if (!context.interactive)
        return;
    for (const CCollectionSource& source : collection->Sources())
        if (source.id == result.source)
            context.err << "Taken into the Collection as \"" << FieldText(source.name, false) << "\": "
                        << result.programs << " programs, " << result.newPrograms << " new" << std::endl;
}

namespace {

// Opens the Collection for a note after the work is done; null after a warning.
std::unique_ptr<CCollection> OpenForNote(const CCliOptions& options, CCliContext& context, const char* what)
{
    std::string error, notice;
    std::unique_ptr<CCollection> collection = CCollection::Open(CliCollectionPath(options, context), error, notice);
    if (!notice.empty())
        context.err << notice << std::endl;
    if (!collection)
        context.err << "Warning: " << what << ", but the Collection could not note it: " << error << std::endl;
    return collection;
}

}  // namespace

void NoteSynthSlotWritten(const CCliOptions& options, CCliContext& context, int slot, const unsigned char* program)
{
    const char* const what = "the program was written";
    std::unique_ptr<CCollection> collection = OpenForNote(options, context, what);
    CollectionProgramData data{};
    std::copy(program, program + data.size(), data.begin());
    std::string error;
    if (collection && !collection->RecordSynthSlotWritten(slot, data, error))
        context.err << "Warning: " << what << ", but the Collection could not note it: " << error << std::endl;
}

void NoteSynthBankSent(const CCliOptions& options, CCliContext& context, const std::vector<CollectionProgramData>& bank)
{
    const char* const what = "the bank was sent";
    std::unique_ptr<CCollection> collection = OpenForNote(options, context, what);
    std::string error;
    if (collection && !collection->RecordSynthBankSent(bank, error))
        context.err << "Warning: " << what << ", but the Collection could not note it: " << error << std::endl;
}
