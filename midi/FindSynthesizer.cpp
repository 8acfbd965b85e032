#include "FindSynthesizer.h"

#include "MidiEvent.h"
#include "MidiInWait.h"
#include "MidiTexts.h"

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// One port asked: its two handles, and what came back on it.
struct CAskedPort
{
    CMidiPortItem port;
    MidiOutHandle hOut = nullptr;
    MidiInHandle hIn = nullptr;
    std::unique_ptr<CMidiEvent> done = std::make_unique<CMidiEvent>();
    CIdentityReplyScanner scanner;
    bool answered = false;
};

bool SameSynth(const CFoundSynth& a, const CFoundSynth& b)
{
    return a.port.address == b.port.address && a.port.productName == b.port.productName &&
           a.identity.channel == b.identity.channel && a.identity.member == b.identity.member;
}

std::string JoinNames(const std::vector<CMidiPortItem>& ports)
{
    std::string names;
    for (std::size_t i = 0; i < ports.size(); ++i)
        names += (i == 0 ? "" : i + 1 == ports.size() ? " and " : ", ") + ports[i].name;
    return names;
}

// Opens the port both ways; false with the reason, both handles closed, when it cannot be.
bool OpenBothWays(IMidiOutService& out, IMidiInService& in, CAskedPort& asked, std::string& why)
{
    const int inCode = in.OpenInPort(&asked.hIn, asked.port.address, asked.port.productName);
    if (inCode != 0 || asked.hIn == nullptr) {
        asked.hIn = nullptr;
        why = in.GetErrorText(inCode);
        return false;
    }
    const int outCode = out.OpenPort(&asked.hOut, asked.port.address, asked.port.productName, asked.done.get());
    if (outCode != 0 || asked.hOut == nullptr) {
        asked.hOut = nullptr;
        in.CloseIn(asked.hIn);
        asked.hIn = nullptr;
        why = out.GetErrorText(outCode);
        return false;
    }
    return true;
}

void Close(IMidiOutService& out, IMidiInService& in, CAskedPort& asked)
{
    if (asked.hIn != nullptr)
        in.CloseIn(asked.hIn);
    if (asked.hOut != nullptr)
        out.Close(asked.hOut);
    asked.hIn = nullptr;
    asked.hOut = nullptr;
}

}  // namespace

std::vector<CMidiPortItem> InquiryPorts(IMidiOutService& out)
{
    std::vector<CMidiPortItem> ports = ListMidiPorts(out);
    ports.erase(std::remove_if(ports.begin(), ports.end(), [](const CMidiPortItem& port) { return !port.canRead; }),
                ports.end());
    return ports;
}

CSynthSearch FindSynthesizers(IMidiOutService& out, IMidiInService& in, const std::vector<CMidiPortItem>& ports,
                              const std::atomic<bool>* cancel, unsigned int listenMs)
{
    CSynthSearch search;
    std::vector<CAskedPort> asked(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        asked[i].port = ports[i];
        std::string why;
        if (!OpenBothWays(out, in, asked[i], why))
            search.failures.push_back(ports[i].name + " could not be opened: " + why);
    }

    // The inputs are open before anything goes out, so that no answer comes too early.
    const std::vector<unsigned char> inquiry = BuildDeviceInquiry();
    const auto length = static_cast<unsigned int>(inquiry.size());
    const Clock::time_point start = Clock::now();
    for (CAskedPort& port : asked) {
        if (port.hOut == nullptr)
            continue;
        DropPendingInput(in, port.hIn);
        out.Prepare(port.hOut, inquiry.data(), length);
        const int rc = out.LongMsg(port.hOut, inquiry.data(), length);
        out.Unprepare(port.hOut, inquiry.data(), length);
        if (rc != 0) {
            search.failures.push_back(port.port.name + " could not be written: " + out.GetErrorText(rc));
            Close(out, in, port);
            continue;
        }
        search.asked.push_back(port.port);
    }

    Clock::time_point deadline = start + std::chrono::milliseconds(listenMs);
    std::vector<unsigned char> bytes;
    std::vector<CSynthIdentity> identities;
    while (!search.asked.empty()) {
        if (cancel != nullptr && cancel->load()) {
            search.cancelled = true;
            break;
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            break;
        std::vector<pollfd> fds;
        for (CAskedPort& port : asked) {
            if (port.hIn == nullptr)
                continue;
            const std::vector<pollfd> more = in.GetPollDescriptors(port.hIn);
            fds.insert(fds.end(), more.begin(), more.end());
        }
        const long long left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        WaitForInput(fds, static_cast<int>(std::min<long long>(left, MIDI_CANCEL_POLL_MS)));

        bool allAnswered = true;
        bool anyOpen = false;
        for (CAskedPort& port : asked) {
            if (port.hIn == nullptr)
                continue;
            bytes.clear();
            identities.clear();
            const int rc = in.ReadBytes(port.hIn, bytes);
            port.scanner.Feed(bytes.data(), bytes.size(), identities);
            for (const CSynthIdentity& identity : identities) {
                CFoundSynth found{port.port, identity, FamilyMemberName(identity.member)};
                port.answered = true;
                if (std::none_of(search.found.begin(), search.found.end(),
                                 [&found](const CFoundSynth& other) { return SameSynth(found, other); }))
                    search.found.push_back(found);
            }
            if (rc != 0) {
                // Unplugged meanwhile: what it said before counts, nothing more comes.
                search.failures.push_back(port.port.name + " could not be read: " + in.GetErrorText(rc));
                Close(out, in, port);
                continue;
            }
            anyOpen = true;
            allAnswered = allAnswered && port.answered;
        }
        if (!anyOpen)
            break;
        if (allAnswered)
            deadline = std::min(deadline, Clock::now() + std::chrono::milliseconds(FIND_SYNTH_SETTLE_MS));
    }
    for (CAskedPort& port : asked)
        Close(out, in, port);

    // In the order the ports were given: the list to pick from follows the port list.
    std::stable_sort(search.found.begin(), search.found.end(), [&ports](const CFoundSynth& a, const CFoundSynth& b) {
        const auto place = [&ports](const CFoundSynth& found) {
            return std::find_if(ports.begin(), ports.end(), [&found](const CMidiPortItem& port) {
                       return port.address == found.port.address && port.productName == found.port.productName;
                   }) - ports.begin();
        };
        return place(a) < place(b);
    });
    return search;
}

std::string FoundSynthText(const CFoundSynth& found)
{
    return found.model + " found on " + found.port.name + ", channel " + std::to_string(found.identity.channel + 1);
}

std::string FoundSynthChoiceText(const CFoundSynth& found)
{
    return found.model + " on " + found.port.name + ", channel " + std::to_string(found.identity.channel + 1);
}

std::string NoSynthFoundText(const CSynthSearch& search)
{
    std::string text;
    if (search.asked.empty() && search.failures.empty()) {
        text = "No MIDI port that can also receive is connected, so there is nothing to ask the synthesizer "
               "through. Connect the synthesizer's MIDI IN and MIDI OUT to an interface, both ways.";
    } else if (!search.asked.empty()) {
        text = "No synthesizer answered on " + JoinNames(search.asked) + " within " +
               FormatSeconds(FIND_SYNTH_LISTEN_MS) +
               ". The usual causes: the MIDI cable goes only one way (the synthesizer's MIDI OUT must also go to "
               "the interface's MIDI IN), or the synthesizer filters SysEx (switch SysEx on in its Global MIDI "
               "settings). Check too that the synthesizer is switched on.";
    } else {
        text = "No port could be asked for the synthesizer.";
    }
    for (const std::string& failure : search.failures)
        text += "\n" + failure;
    return text;
}
