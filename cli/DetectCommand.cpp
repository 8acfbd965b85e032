#include "MidiCommands.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "ExitCodes.h"
#include "FindSynthesizer.h"
#include "TextOutput.h"

#include <cstdio>

namespace {

// A JSON string: quotes, backslashes and control characters escaped; the rest (UTF-8 port
// names) as it is.
std::string JsonString(const std::string& text)
{
    std::string json = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

void PrintJson(const CSynthSearch& search, std::ostream& out)
{
    out << '[';
    for (std::size_t i = 0; i < search.found.size(); ++i) {
        const CFoundSynth& found = search.found[i];
        out << (i == 0 ? "\n  " : ",\n  ") << "{\"port\": " << JsonString(found.port.name)
            << ", \"channel\": " << found.identity.channel + 1 << ", \"model\": " << JsonString(found.model) << '}';
    }
    out << (search.found.empty() ? "]\n" : "\n]\n") << std::flush;
}

}  // namespace

int RunDetectCommand(const CCliOptions& options, CCliContext& context)
{
    const CSynthSearch search =
        FindSynthesizers(context.midiOut, context.midiIn, InquiryPorts(context.midiOut), context.cancel,
                         context.findListenMs);
    if (search.cancelled)
        return CLI_EXIT_INTERRUPTED;
    if (options.json) {
        PrintJson(search, context.out);
    } else {
        for (const CFoundSynth& found : search.found)
            context.out << FieldText(found.port.name, false) << '\t' << found.identity.channel + 1 << '\t'
                        << found.model << '\n';
        context.out << std::flush;
    }
    if (search.found.empty()) {
        context.err << NoSynthFoundText(search) << std::endl;
        return CLI_EXIT_NO_ANSWER;
    }
    return CLI_EXIT_OK;
}
