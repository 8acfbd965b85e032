#pragma once
// One program named on the command line, read with its 254 bytes: from a file (a slot of a
// 128-program dump, or the program of a one-program file), or from the Collection by its ID;
// and the instrument its parameters are shown for.
#include "ProgramParameters.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class CCollection;
struct CCliContext;
struct CCliOptions;

// "A01", "a1", "A 001" ... "H16": the slot 0-127 of a 128-program dump.
bool ParseSlotName(const std::string& text, int& slot);
bool IsModelName(const std::string& name);  // "ms2000" or "microkorg"

// --model, else the window's setting ([editor] model in its settings file), else the MS2000.
// A setting that is neither is told on stderr and passed over.
SynthModel CliSynthModel(const CCliOptions& options, CCliContext& context);

struct CCliProgram {
    std::array<unsigned char, 254> data{};
    std::string label;  // as the user wrote it, for messages
};

// What a lookup came to; the commands turn it into their exit status.
enum class ProgramLookup {
    Found,
    BadFile,        // the file cannot be read or is not a valid dump
    BadArgument,    // no such slot or ID, or a 128-program file without a slot
    NoCollection,   // the Collection cannot be used (told on stderr already)
};

class CProgramFinder
{
public:
    CProgramFinder(const CCliOptions& options, CCliContext& context);
    ~CProgramFinder();

    // The program of a file; `slot` -1 for a one-program file. `slotHint` tells, for a
    // 128-program file given without a slot, how to name one ("--slot A05").
    ProgramLookup FromFile(const std::string& path, int slot, const std::string& slotHint, CCliProgram& program,
                           std::string& error);
    ProgramLookup FromId(std::int64_t id, CCliProgram& program, std::string& error);
    // "FILE", "FILE:A05" or "id:N".
    ProgramLookup FromArgument(const std::string& argument, CCliProgram& program, std::string& error);

private:
    const CCliOptions& m_options;
    CCliContext& m_context;
    std::unique_ptr<CCollection> m_collection;  // opened on the first ID
};
