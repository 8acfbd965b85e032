#pragma once

struct CCliContext;
struct CCliOptions;

// The commands on the Collection. Each returns its exit code after writing its results on
// stdout and its complaints on stderr.

// `import PATH...`: files, and folders searched for .syx files; one line per file.
int RunImportCommand(const CCliOptions& options, CCliContext& context);
// `search [...] [TEXT]`: one line per program found.
int RunSearchCommand(const CCliOptions& options, CCliContext& context);
// `sources`: one line per source, oldest first.
int RunSourcesCommand(const CCliOptions& options, CCliContext& context);
// `diff SOURCE1 SOURCE2`: one line per slot that differs.
int RunDiffCommand(const CCliOptions& options, CCliContext& context);
// `export (--source SOURCE | --list NAME | ID...) -o PATH`.
int RunExportCommand(const CCliOptions& options, CCliContext& context);
// `mark ID... (--favourite | ...)`: all of them in one transaction, or none.
int RunMarkCommand(const CCliOptions& options, CCliContext& context);
// `check`: the full integrity check and every source's bytes; 0 clean, 7 damaged.
int RunCheckCommand(const CCliOptions& options, CCliContext& context);
