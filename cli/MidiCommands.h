#pragma once

struct CCliContext;
struct CCliOptions;

// `veltrix-cli receive`: asks for a dump and writes it, whole and valid, to the -o file.
int RunReceiveCommand(const CCliOptions& options, CCliContext& context);

// `veltrix-cli send`: a one-program file to the edit buffer, a bank (with --yes) to memory.
int RunSendCommand(const CCliOptions& options, CCliContext& context);
