#pragma once
#include <ostream>
#include <string>
#include <vector>

// `veltrix-cli list FILE...`: one line per program on `out`, in file and dump order; a file
// that cannot be read is named on `err` with the reader's reason, and the others are still
// listed. Returns 0, or 1 when any file failed.
int RunListCommand(const std::vector<std::string>& files, std::ostream& out, std::ostream& err);
