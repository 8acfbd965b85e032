// Which parameters apply to a program, a program shown whole, and two programs compared
// parameter by parameter.
#include "ParameterCodec.h"

#include <cstring>

namespace {

constexpr int VOICE_MODES = 4;
constexpr int VOICE_MODE_VOCODER = 3;
constexpr int VOICE_MODE_SINGLE = 0;

int VoiceModeOf(const unsigned char* data)
{
    return (data[16] >> 4) & 3;
}

// The blocks that apply in a voice mode: bit 0 timbre 1, bit 1 timbre 2, bit 2 the vocoder.
unsigned int Blocks(int voiceMode, bool all)
{
    if (voiceMode == VOICE_MODE_VOCODER)
        return 4;
    return voiceMode == VOICE_MODE_SINGLE && !all ? 1 : 3;
}

bool InBlocks(const CParameter& parameter, unsigned int blocks, SynthModel model)
{
    if (model == SynthModel::MicroKorg && parameter.ms2000Only)
        return false;
    switch (parameter.section) {
    case ParamSection::Common: return true;
    case ParamSection::Timbre1: return (blocks & 1) != 0;
    case ParamSection::Timbre2: return (blocks & 2) != 0;
    case ParamSection::Vocoder: return (blocks & 4) != 0;
    }
    return false;
}

using CCodecList = std::vector<CParameterCodec>;

CCodecList CodecsIn(unsigned int blocks, SynthModel model)
{
    CCodecList list;
    for (const CParameterCodec& codec : ParameterCodecs())
        if (InBlocks(*codec.parameter, blocks, model))
            list.push_back(codec);
    return list;
}

int ModelIndex(SynthModel model)
{
    return model == SynthModel::MicroKorg ? 1 : 0;
}

// The parameters shown for each voice mode, model and `all`, made once.
const CCodecList& ShownList(int voiceMode, SynthModel model, bool all)
{
    static const std::vector<CCodecList> lists = [] {
        std::vector<CCodecList> made;
        for (int mode = 0; mode < VOICE_MODES; ++mode)
            for (SynthModel m : {SynthModel::MS2000, SynthModel::MicroKorg})
                for (bool a : {false, true})
                    made.push_back(CodecsIn(Blocks(mode, a), m));
        return made;
    }();
    return lists[static_cast<size_t>((voiceMode * 2 + ModelIndex(model)) * 2 + (all ? 1 : 0))];
}

// The parameters both programs of these voice modes have, made once.
const CCodecList& ComparedList(int firstMode, int secondMode, SynthModel model)
{
    static const std::vector<CCodecList> lists = [] {
        std::vector<CCodecList> made;
        for (int first = 0; first < VOICE_MODES; ++first)
            for (int second = 0; second < VOICE_MODES; ++second)
                for (SynthModel m : {SynthModel::MS2000, SynthModel::MicroKorg})
                    made.push_back(CodecsIn(Blocks(first, false) & Blocks(second, false), m));
        return made;
    }();
    return lists[static_cast<size_t>((firstMode * VOICE_MODES + secondMode) * 2 + ModelIndex(model))];
}

}  // namespace

std::vector<const CParameter*> ApplicableParameters(const unsigned char* data, SynthModel model, bool all)
{
    const CCodecList& list = ShownList(VoiceModeOf(data), model, all);
    std::vector<const CParameter*> parameters;
    parameters.reserve(list.size());
    for (const CParameterCodec& codec : list)
        parameters.push_back(codec.parameter);
    return parameters;
}

void ShowParameters(const unsigned char* data, SynthModel model, bool all, std::vector<CShownParameter>& out)
{
    const CCodecList& list = ShownList(VoiceModeOf(data), model, all);
    out.resize(list.size());
    CShownParameter* shown = out.data();
    for (const CParameterCodec& codec : list) {
        shown->parameter = codec.parameter;
        CShownValue value;
        if (codec.kind == CodecKind::Bits || codec.kind == CodecKind::Step) {
            const unsigned int bits = CodecBits(codec, data);
            shown->stored = bits;
            value = codec.kind == CodecKind::Bits ? codec.texts[bits]
                                                  : codec.texts[StepClassOf(data[codec.knobByte]) * 256 + bits];
        } else {
            shown->stored = codec.kind == CodecKind::Name ? 0 : CodecBits(codec, data);
            value = CodecShownSlowly(codec, data);
        }
        shown->shown = value.View();
        shown->inRange = value.inRange;
        ++shown;
    }
}

CProgramComparison CompareParameters(const unsigned char* first, const unsigned char* second, SynthModel model)
{
    CProgramComparison comparison;
    const int firstMode = VoiceModeOf(first);
    const int secondMode = VoiceModeOf(second);
    comparison.voiceModeDiffers = firstMode != secondMode;
    const CCodecList& compared = ComparedList(firstMode, secondMode, model);
    for (const CParameterCodec& codec : compared) {
        unsigned int a = 0, b = 0;
        if (codec.kind == CodecKind::Name) {
            if (std::memcmp(first, second, NAME_SIZE) == 0)
                continue;
        } else {
            a = CodecBits(codec, first);
            b = CodecBits(codec, second);
            if (a == b)
                continue;
        }
        if (comparison.differences.empty())  // room for the rest at once
            comparison.differences.reserve(static_cast<size_t>(compared.data() + compared.size() - &codec));
        // Filled in place: a copy made on the stack costs more than the rest.
        CParameterDifference& difference = comparison.differences.emplace_back();
        difference.parameter = codec.parameter;
        difference.firstStored = a;
        difference.secondStored = b;
        difference.firstShown = CodecShown(codec, first).View();
        difference.secondShown = CodecShown(codec, second).View();
    }
    return comparison;
}
