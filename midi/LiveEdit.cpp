#include "LiveEdit.h"

#include "ParameterChange.h"
#include "ProgramParameters.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <cstring>

namespace {

constexpr int VOICE_MODE_BYTE = 16;
constexpr int VOICE_MODE_VOCODER = 3;
constexpr int NAME_LENGTH = 12;
// A whole program takes the wire as long as this many parameter changes.
constexpr std::size_t CHANGES_IN_A_PROGRAM = ProgramMessageSize(PROGRAM_DATA_SIZE) / PARAMETER_CHANGE_SIZE;

int VoiceMode(const unsigned char* data)
{
    return (data[VOICE_MODE_BYTE] >> 4) & 3;
}

// The parameters of the layout `data` is read with: the common part and both timbres, or
// the common part and the vocoder block.
bool InLayout(const CParameter& parameter, const unsigned char* data)
{
    const bool vocoder = VoiceMode(data) == VOICE_MODE_VOCODER;
    return parameter.section == ParamSection::Common || (parameter.section == ParamSection::Vocoder) == vocoder;
}

// The bits of each byte that a parameter covers.
void MarkBits(const CParameter& parameter, unsigned char* covered)
{
    if (parameter.display == ParamDisplay::Text) {
        std::memset(covered + parameter.byte, 0xFF, NAME_LENGTH);
    } else if (parameter.display == ParamDisplay::Tempo16) {
        covered[parameter.byte] = covered[parameter.byte + 1] = 0xFF;
    } else {
        const int width = parameter.highBit - parameter.lowBit + 1;
        covered[parameter.byte] |= static_cast<unsigned char>(((1 << width) - 1) << parameter.lowBit);
    }
}

// The value a parameter change carries for this parameter of `data`, or false when the
// synthesizer would not take one (the timbre pan's L64, which the change cannot carry).
bool ChangeFor(const CParameter& parameter, const unsigned char* data, int& value)
{
    const int stored = Value(parameter, data);
    value = ChangeValue(parameter, stored);
    return parameter.display != ParamDisplay::TimbrePan || stored != 0;
}

}  // namespace

CLiveEditPlan PlanLiveEdit(const unsigned char* synthHas, const unsigned char* wanted)
{
    CLiveEditPlan plan;
    if (synthHas == nullptr || VoiceMode(synthHas) != VoiceMode(wanted)) {
        plan.wholeProgram = true;
        return plan;
    }
    if (std::memcmp(synthHas, wanted, PROGRAM_DATA_SIZE) == 0)
        return plan;

    unsigned char covered[PROGRAM_DATA_SIZE] = {};
    for (const CParameter& parameter : ProgramParameters()) {
        if (!InLayout(parameter, wanted))
            continue;
        if (parameter.display == ParamDisplay::Text) {
            // One change per character, numbers 000-00B.
            MarkBits(parameter, covered);
            for (int i = 0; i < NAME_LENGTH; ++i)
                if (synthHas[i] != wanted[i])
                    plan.changes.push_back({i, wanted[i]});
            continue;
        }
        if (StoredBits(parameter, synthHas) == StoredBits(parameter, wanted))
            continue;
        int value = 0;
        if (parameter.changeNumber < 0 || !ChangeFor(parameter, wanted, value)) {
            plan.wholeProgram = true;
            break;
        }
        MarkBits(parameter, covered);
        plan.changes.push_back({parameter.changeNumber, value});
    }
    // A difference no parameter change carries (a byte that is no parameter's).
    for (int i = 0; i < static_cast<int>(PROGRAM_DATA_SIZE) && !plan.wholeProgram; ++i)
        if (((synthHas[i] ^ wanted[i]) & ~covered[i]) != 0)
            plan.wholeProgram = true;
    if (plan.changes.size() > CHANGES_IN_A_PROGRAM)
        plan.wholeProgram = true;
    if (plan.wholeProgram)
        plan.changes.clear();
    return plan;
}

bool ApplyParameterChange(unsigned char* data, int number, int value)
{
    // The name's characters are numbers 000-00B, one each.
    if (number >= 0 && number < NAME_LENGTH) {
        if (value < 32 || value > 127)
            return false;
        data[number] = static_cast<unsigned char>(value);
        return true;
    }
    const CParameter* parameter = ParameterForChange(number);
    if (parameter == nullptr || parameter->display == ParamDisplay::Text)
        return false;
    return SetValue(*parameter, data, ValueFromChange(*parameter, value));
}
