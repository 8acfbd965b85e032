#include "CliCollection.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "TextOutput.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

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

std::string Candidates(const std::vector<const CCollectionSource*>& sources, bool withTimes)
{
    std::string text;
    for (const CCollectionSource* source : sources) {
        text += text.empty() ? "" : ", ";
        text += "\"" + FieldText(source->name, false) + "\"";
        if (withTimes)
            text += " (taken in " + source->takenIn + ")";
    }
    return text;
}

}  // namespace

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
        context.err << notice << std::endl;
    if (!collection)
        context.err << error << std::endl;
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
    std::vector<const CCollectionSource*> matches;
    for (const CCollectionSource& candidate : sources)
        if (candidate.name == text)
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
            if (candidate.kind == SourceKind::File && BaseName(candidate.name) == text)
                matches.push_back(&candidate);
    }

    if (matches.size() == 1) {
        source = *matches.front();
        return true;
    }
    if (matches.size() > 1) {
        error = "\"" + FieldText(text, false) + "\" names more than one source: " + Candidates(matches, true);
        return false;
    }
    std::vector<const CCollectionSource*> near;
    for (const CCollectionSource& candidate : sources)
        if (ContainsIgnoringCase(candidate.name, BaseName(text)))
            near.push_back(&candidate);
    error = "There is no source \"" + FieldText(text, false) + "\" in the Collection";
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
        context.err << notice << std::endl;
    CImportResult result;
    if (!collection || !collection->ImportSynthDump(bytes, result, error)) {
        context.err << "Warning: " << options.output << " was written, but not taken into the Collection: " << error
                    << std::endl;
        return;
    }
    if (!context.interactive)
        return;
    for (const CCollectionSource& source : collection->Sources())
        if (source.id == result.source)
            context.err << "Taken into the Collection as \"" << source.name << "\": " << result.programs << " programs, "
                        << result.newPrograms << " new" << std::endl;
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
