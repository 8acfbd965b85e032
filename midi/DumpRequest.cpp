#include "DumpRequest.h"

#include "SyxFormat.h"

namespace {

constexpr std::size_t CURRENT_PROGRAM_SIZE = 297;
constexpr std::size_t PROGRAM_DUMP_SIZE = 37163;
constexpr std::size_t ALL_DATA_SIZE = PROGRAM_DUMP_SIZE + ALL_DATA_TRAILER_SIZE;

}  // namespace

unsigned char GetRequestFunction(DumpKind kind)
{
    switch (kind) {
    case DumpKind::CurrentProgram: return REQUEST_CURRENT_PROGRAM;
    case DumpKind::AllPrograms: return REQUEST_PROGRAM_DUMP;
    case DumpKind::AllData: return REQUEST_ALL_DATA;
    }
    return REQUEST_CURRENT_PROGRAM;
}

unsigned char GetAnswerFunction(DumpKind kind)
{
    switch (kind) {
    case DumpKind::CurrentProgram: return FUNC_CURRENT_PROGRAM;
    case DumpKind::AllPrograms: return FUNC_PROGRAM_DUMP;
    case DumpKind::AllData: return FUNC_ALL_DATA_DUMP;
    }
    return FUNC_CURRENT_PROGRAM;
}

std::size_t GetAnswerSize(DumpKind kind)
{
    switch (kind) {
    case DumpKind::CurrentProgram: return CURRENT_PROGRAM_SIZE;
    case DumpKind::AllPrograms: return PROGRAM_DUMP_SIZE;
    case DumpKind::AllData: return ALL_DATA_SIZE;
    }
    return CURRENT_PROGRAM_SIZE;
}

std::vector<unsigned char> BuildDumpRequest(DumpKind kind, int channel)
{
    return {SYX_START, KORG_ID, static_cast<unsigned char>(SYX_CHANNEL_BASE | (channel & 0x0F)), MS2000_MODEL_ID,
            GetRequestFunction(kind), SYX_END};
}

const char* DescribeFunction(unsigned char function)
{
    switch (function) {
    case FUNC_CURRENT_PROGRAM: return "a current program dump";
    case FUNC_PROGRAM_DUMP: return "a program data dump of 128 programs";
    case FUNC_ALL_DATA_DUMP: return "an all data dump";
    case FUNC_GLOBAL_DATA: return "a global data dump";
    case FUNC_PARAMETER_CHANGE: return "a parameter change";
    case FUNC_DATA_LOAD_COMPLETED: return "a data load completed message";
    case FUNC_DATA_LOAD_ERROR: return "a data load error message";
    case FUNC_WRITE_COMPLETED: return "a write completed message";
    case FUNC_WRITE_ERROR: return "a write error message";
    default: return "a message of another kind";
    }
}
