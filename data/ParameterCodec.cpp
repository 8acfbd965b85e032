// The shown texts of every parameter value, made once, and the codecs that read them.
#include "ParameterCodec.h"

#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <unordered_set>

namespace {

const char* const NOTE_NAMES[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

std::string SignedText(int value)
{
    return value > 0 ? "+" + std::to_string(value) : std::to_string(value);
}

std::string PanText(int value)
{
    if (value == 64)
        return "CNT";
    return value < 64 ? "L" + std::to_string(64 - value) : "R" + std::to_string(value - 64);
}

CShownValue Shown(std::string_view text, bool inRange)
{
    CShownValue shown;
    shown.text = text.data();
    shown.size = static_cast<std::uint32_t>(text.size());
    shown.inRange = inRange;
    return shown;
}

// Texts made at run time (only for tempos far out of range) live here for good.
std::string_view KeepText(std::string text)
{
    static std::mutex mutex;
    static std::unordered_set<std::string> texts;
    const std::lock_guard<std::mutex> lock(mutex);
    return *texts.insert(std::move(text)).first;
}

// The tempos a 16-bit field can hold, made once up to this many; beyond it on demand.
constexpr unsigned int TEMPO_TEXTS = 512;

// The codecs, and the text tables they point into. Parameters with the same way of showing
// the same bits share a table.
class CCodecStore
{
public:
    CCodecStore()
    {
        const std::vector<CParameter>& table = ProgramParameters();
        m_codecs.resize(table.size());
        for (const CParameter& p : table)
            m_codecs[static_cast<size_t>(p.id)] = MakeCodec(p);
        for (unsigned int value = 0; value < TEMPO_TEXTS; ++value)
            m_tempo[value] = Keep(value >= 20 && value <= 300 ? std::to_string(value) : OutOfRangeText(static_cast<int>(value)));
    }

    const std::vector<CParameterCodec>& Codecs() const { return m_codecs; }
    std::string_view TempoText(unsigned int value) const { return m_tempo[value]; }

private:
    CParameterCodec MakeCodec(const CParameter& p)
    {
        CParameterCodec codec;
        codec.parameter = &p;
        codec.byte = static_cast<std::uint8_t>(p.byte);
        codec.shift = static_cast<std::uint8_t>(p.lowBit);
        codec.mask = static_cast<std::uint8_t>((1u << (p.highBit - p.lowBit + 1)) - 1);
        if (p.display == ParamDisplay::Text) {
            codec.kind = CodecKind::Name;
        } else if (p.display == ParamDisplay::Tempo16) {
            codec.kind = CodecKind::Tempo;
            codec.mask = 0xFF;
        } else if (p.knobByte >= 0) {
            codec.kind = CodecKind::Step;
            codec.knobByte = static_cast<std::uint8_t>(p.knobByte);
            codec.texts = Texts(p, codec.mask, p.minValue, p.maxValue, true);
        } else {
            codec.texts = Texts(p, codec.mask, p.minValue, p.maxValue, false);
        }
        return codec;
    }

    // The texts of every bit pattern of a field of `mask` shown as `p` with this range; for a
    // step, one such table for each StepClass, one after the other.
    const CShownValue* Texts(const CParameter& p, unsigned int mask, int minValue, int maxValue, bool step)
    {
        const auto key = std::make_tuple(static_cast<int>(p.display), mask, minValue, maxValue,
                                         static_cast<const void*>(p.listNames), step);
        auto found = m_tables.find(key);
        if (found != m_tables.end())
            return found->second.get();
        const unsigned int classes = step ? STEP_CLASSES : 1;
        std::unique_ptr<CShownValue[]> texts(new CShownValue[classes * (mask + 1)]);
        const bool isSigned = p.display == ParamDisplay::SignedByte || p.display == ParamDisplay::Channel;
        for (unsigned int c = 0; c < classes; ++c) {
            if (step)
                StepRange(static_cast<StepClass>(c), minValue, maxValue);
            for (unsigned int bits = 0; bits <= mask; ++bits) {
                const int value = isSigned ? static_cast<int>(static_cast<signed char>(bits)) : static_cast<int>(bits);
                // A list may name values the synthesizer can hold but that are not offered.
                const bool inRange = (value >= minValue && value <= maxValue) ||
                                     (p.display == ParamDisplay::List && value >= 0 && value < p.listSize);
                texts[c * (mask + 1) + bits] = Shown(Keep(inRange ? FormatValue(p, value) : OutOfRangeText(value)),
                                                     inRange);
            }
        }
        return m_tables.emplace(key, std::move(texts)).first->second.get();
    }

    std::string_view Keep(std::string text) { return *m_texts.insert(std::move(text)).first; }

    std::vector<CParameterCodec> m_codecs;
    std::map<std::tuple<int, unsigned int, int, int, const void*, bool>, std::unique_ptr<CShownValue[]>> m_tables;
    std::unordered_set<std::string> m_texts;  // node-based: the views stay valid
    std::string_view m_tempo[TEMPO_TEXTS];
};

const CCodecStore& Store()
{
    static const CCodecStore store;
    return store;
}

}  // namespace

const std::vector<CParameterCodec>& ParameterCodecs()
{
    return Store().Codecs();
}

// Knob 1 (Pitch) and 6 (OSC2Semi) move by semitones, 2 (StepLength) by step lengths.
const std::uint8_t STEP_CLASS_OF_KNOB[256] = {STEP_BIPOLAR, STEP_SEMITONES, STEP_LENGTH, STEP_BIPOLAR,
                                              STEP_BIPOLAR, STEP_BIPOLAR,   STEP_SEMITONES};

void StepRange(StepClass stepClass, int& minValue, int& maxValue)
{
    const int reach = stepClass == STEP_SEMITONES ? 24 : stepClass == STEP_LENGTH ? 6 : 63;
    minValue = 64 - reach;
    maxValue = 64 + reach;
}

CShownValue NameView(const unsigned char* data)
{
    int length = 0;
    while (length < NAME_SIZE && data[length] != 0)
        ++length;
    while (length > 0 && (data[length - 1] == ' ' || data[length - 1] == '\t'))
        --length;
    bool inRange = true;
    for (int i = 0; i < NAME_SIZE; ++i)
        inRange = inRange && data[i] >= 32 && data[i] <= 127;
    return Shown(std::string_view(reinterpret_cast<const char*>(data), static_cast<size_t>(length)), inRange);
}

CShownValue CodecShownSlowly(const CParameterCodec& codec, const unsigned char* data)
{
    if (codec.kind == CodecKind::Name)
        return NameView(data);
    if (codec.kind != CodecKind::Tempo)
        return CodecShown(codec, data);
    const unsigned int tempo = CodecBits(codec, data);
    if (tempo < TEMPO_TEXTS)
        return Shown(Store().TempoText(tempo), tempo >= 20 && tempo <= 300);
    return Shown(KeepText(OutOfRangeText(static_cast<int>(tempo))), false);
}

std::string FormatValue(const CParameter& p, int value)
{
    switch (p.display) {
    case ParamDisplay::Plain:
    case ParamDisplay::Tempo16:
        return std::to_string(value);
    case ParamDisplay::Center64:
        return SignedText(value - 64);
    case ParamDisplay::PlusOne:
        return std::to_string(value + 1);
    case ParamDisplay::SignedByte:
        return SignedText(value);
    case ParamDisplay::Channel:
        return value < 0 ? "GLB" : std::to_string(value + 1);
    case ParamDisplay::TimbrePan:
    case ParamDisplay::ChannelPan:
        return PanText(value);
    case ParamDisplay::NoteName:
        return NOTE_NAMES[value % 12] + std::to_string(value / 12 - 1);
    case ParamDisplay::List:
        return value >= 0 && value < p.listSize ? p.listNames[value] : std::to_string(value);
    case ParamDisplay::Text:
        break;
    }
    return std::string();
}

std::string OutOfRangeText(int value)
{
    return std::to_string(value) + " (out of range)";
}
