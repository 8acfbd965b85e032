#pragma once

struct CCliContext;
struct CCliOptions;

// The commands that read a program's parameters. Each returns its exit code after writing its
// results on stdout and its complaints on stderr.

// `show (FILE [--slot A01] | --id N) [--all] [--json]`: one line per parameter.
int RunShowCommand(const CCliOptions& options, CCliContext& context);
// `compare A B [--json]`: one line per parameter that differs; 0 the same, 1 they differ.
int RunCompareCommand(const CCliOptions& options, CCliContext& context);
