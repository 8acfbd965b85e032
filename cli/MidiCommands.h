#pragma once

struct CCliContext;
struct CCliOptions;

// `veltrix-cli receive`: asks for a dump and writes it, whole and valid, to the -o file.
int RunReceiveCommand(const CCliOptions& options, CCliContext& context);

// `veltrix-cli send`: a one-program file to the edit buffer, a bank (with --yes) to memory.
int RunSendCommand(const CCliOptions& options, CCliContext& context);

// `veltrix-cli detect`: asks every port that can answer which synthesizers of this family are
// there; one line (or JSON object) per answer.
int RunDetectCommand(const CCliOptions& options, CCliContext& context);

// `veltrix-cli write FILE --slot A05`: one program into one slot of the synthesizer's memory
// (with --yes), the Collection following.
int RunWriteCommand(const CCliOptions& options, CCliContext& context);
