#pragma once
// The file name a program of the Collection is exported under, one file per program:
// "<id> <shown name>.syx". The window's Export... and `veltrix-cli export` both name files
// with it.

#include "Collection.h"

#include <string>

// The name's bytes of 128 and above are Latin-1 letters and come out as UTF-8; control
// characters become blanks, and what a file name cannot hold here or on a memory stick's
// file system (/ \ : * ? " < > |) becomes '_'.
std::string ProgramExportFileName(CollectionId id, const std::string& shownName);
