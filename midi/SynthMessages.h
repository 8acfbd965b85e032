#pragma once
// What the synthesizer sends on its own or as answers, read from the bytes its port's input
// hands over (SysEx pieces joined, channel messages as their bytes, running status too):
// parameter changes (a knob turned on its panel), current program dumps (entering its edit
// mode, or an answer to a request), program changes, and the answers 23 / 24 / 26 to what
// it was sent. Messages of other instruments, and for other channels, are left out.

#include <cstddef>
#include <vector>

enum class SynthMessageKind {
    ParameterChange,    // F0 42 3g 58 41 pp PP vv VV F7
    CurrentProgram,     // F0 42 3g 58 40 <254 bytes packed> F7
    ProgramChange,      // Cg pp
    DataLoadCompleted,  // F0 42 3g 58 23 F7
    DataLoadError,      // F0 42 3g 58 24 F7
    DataFormatError,    // F0 42 3g 58 26 F7: the message sent was malformed
};

struct CSynthMessage {
    SynthMessageKind kind = SynthMessageKind::DataLoadCompleted;
    int number = 0;                  // ParameterChange: the parameter-change number
    int value = 0;                   // ParameterChange: the signed value
    int program = 0;                 // ProgramChange: 0-127
    std::vector<unsigned char> data; // CurrentProgram: the 254 bytes, unpacked
};

class CSynthMessageReader {
public:
    // Reads what the synthesizer sends on `channel` (0-15: its global channel, which is
    // the channel its SysEx carries and its program changes go out on).
    explicit CSynthMessageReader(int channel);

    // Takes the next bytes of the input and appends every message they complete to `out`.
    void Take(const unsigned char* bytes, std::size_t length, std::vector<CSynthMessage>& out);
    // Forgets a message half read (the input was closed and opened again).
    void Clear();

private:
    void TakeSysex(std::vector<CSynthMessage>& out) const;

    int m_channel;
    std::vector<unsigned char> m_sysex;   // a SysEx message being read, from F0 on
    bool m_inSysex = false;
    unsigned char m_status = 0;           // running status of channel messages (0: none)
    std::vector<unsigned char> m_data;    // its data bytes so far
};
