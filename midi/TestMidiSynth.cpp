// CTestMidiSynth's memory and settings: what it holds, how it is set up, its log, and its panel.
#include "TestMidiSynth.h"

#include "SyxFormat.h"
#include "SyxProgram.h"
#include "TestMidiOutService.h"
#include "TestMidiSynthParameters.h"
#include "ParameterChange.h"

#include <cstdio>

namespace {

// The instrument's global data, packed on after the programs in an all data dump: 200
// bytes, so that the dump has its 37,392 bytes (229 packed bytes after the programs').
constexpr std::size_t GLOBAL_DATA_SIZE = 200;

}  // namespace

CTestMidiSynth::CTestMidiSynth(CTestMidiOutService& out, CTestMidiInService& in, const std::string& address)
    : m_out(out), m_in(in), m_address(address)
{
    // Made-up programs with every byte value, bit 7 in many places, and a name each.
    m_programs.resize(PROGRAMS * PROGRAM_DATA_SIZE);
    for (std::size_t i = 0; i < m_programs.size(); ++i)
        m_programs[i] = static_cast<unsigned char>(i * 37 + i / PROGRAM_DATA_SIZE);
    for (unsigned int p = 0; p < PROGRAMS; ++p) {
        char name[16];
        std::snprintf(name, sizeof name, "Synth %03u   ", p + 1);
        for (int c = 0; c < 12; ++c)
            m_programs[p * PROGRAM_DATA_SIZE + c] = static_cast<unsigned char>(name[c]);
    }
    m_global.assign(GLOBAL_DATA_SIZE, 0x91);
    m_edit.assign(m_programs.begin(), m_programs.begin() + PROGRAM_DATA_SIZE);
    m_thread = std::thread([this] { RunReplies(); });
    auto listener = [this](const unsigned char* bytes, unsigned int length) { Take(bytes, length); };
    if (m_address.empty())
        m_out.SetListener(listener);
    else
        m_out.SetPortListener(m_address, listener);
}

CTestMidiSynth::~CTestMidiSynth()
{
    if (m_address.empty())
        m_out.SetListener(nullptr);
    else
        m_out.SetPortListener(m_address, nullptr);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void CTestMidiSynth::SetChannel(int channel)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_channel = channel & 0x0F;
}

void CTestMidiSynth::SetMode(Mode mode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mode = mode;
}

void CTestMidiSynth::SetWireRate(unsigned int bytesPerSecond)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wireRate = bytesPerSecond;
}

void CTestMidiSynth::SetAnswerDelay(unsigned int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answerDelayMs = ms;
}

void CTestMidiSynth::SetThru(bool thru)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_thru = thru;
}

bool CTestMidiSynth::LoadMemory(const std::vector<unsigned char>& dump)
{
    if (dump.size() < SYX_HEADER_SIZE + 1 || dump[0] != SYX_START || dump[1] != KORG_ID || dump[3] != MS2000_MODEL_ID ||
        (dump[4] != FUNC_PROGRAM_DUMP && dump[4] != FUNC_ALL_DATA_DUMP))
        return false;
    std::size_t end = SYX_HEADER_SIZE;
    while (end < dump.size() && dump[end] != SYX_END)
        ++end;
    const std::vector<unsigned char> data = Unpack(dump.data() + SYX_HEADER_SIZE, end - SYX_HEADER_SIZE);
    if (data.size() < PROGRAMS * PROGRAM_DATA_SIZE)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_programs.assign(data.begin(), data.begin() + PROGRAMS * PROGRAM_DATA_SIZE);
    m_edit.assign(m_programs.begin(), m_programs.begin() + PROGRAM_DATA_SIZE);
    if (dump[4] == FUNC_ALL_DATA_DUMP)
        m_global.assign(data.begin() + PROGRAMS * PROGRAM_DATA_SIZE, data.end());
    return true;
}

std::vector<unsigned char> CTestMidiSynth::GetMemoryDump() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, 0, m_programs.data(), static_cast<unsigned int>(m_programs.size()));
}

std::vector<unsigned char> CTestMidiSynth::GetEditDump() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, m_edit.data(), static_cast<unsigned int>(m_edit.size()));
}

std::vector<std::string> CTestMidiSynth::GetLog() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
}

void CTestMidiSynth::WaitIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_replies.empty() && !m_sending; });
}

void CTestMidiSynth::Note(const std::string& line)
{
    m_log.push_back(line);
}

// The panel.

bool CTestMidiSynth::TurnKnob(int number, int value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string done;
    const std::string error = ApplyTestParameterChange(m_edit, number, value, done);
    if (!error.empty()) {
        Note("panel: not possible now, nothing sent: " + error);
        return false;
    }
    Note("panel: " + done);
    const CParameterChangeMessage message = BuildParameterChange(m_channel, number, value);
    Send(std::vector<unsigned char>(message.begin(), message.end()));
    return true;
}

void CTestMidiSynth::ChooseProgram(int program)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto at = static_cast<std::size_t>(program & 0x7F) * PROGRAM_DATA_SIZE;
    m_edit.assign(m_programs.begin() + static_cast<long>(at), m_programs.begin() + static_cast<long>(at + PROGRAM_DATA_SIZE));
    Note("panel: program " + std::to_string(program & 0x7F) + " selected");
    Send({static_cast<unsigned char>(0xC0 | m_channel), static_cast<unsigned char>(program & 0x7F)});
}
