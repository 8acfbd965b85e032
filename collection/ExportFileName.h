#pragma once
// The file name a program of the Collection is exported under, one file per program:
// "<id> <shown name>.syx", as `veltrix-cli export` names them; the window numbers the programs
// it writes together by their place instead.

#include "Collection.h"

#include <string>

// The name's bytes of 128 and above are Latin-1 letters and come out as UTF-8; control
// characters become blanks, and what a file name cannot hold here or on a memory stick's
// file system (/ \ : * ? " < > |) becomes '_'.
std::string ProgramExportFileName(CollectionId id, const std::string& shownName);

// One program's file as the window offers it: "<shown name>.syx" ("no name.syx" for a blank one).
std::string ProgramFileName(const std::string& shownName);
// The file of the `position`th (from 1) of `count` programs written together, numbered so that
// they list in the order chosen: "01 Wobble Bass.syx", three digits from 100 programs on.
std::string NumberedProgramFileName(int position, int count, const std::string& shownName);
