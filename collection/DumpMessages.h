#pragma once
// The messages of a file taken in. A file may hold several SysEx messages (two banks, a
// global message then a bank...): the Collection takes the programs of every program message
// in it, in order, and keeps the file whole.

#include <cstddef>
#include <string>
#include <vector>

class CProgramList;

struct CDumpMessages {
    int messages = 0;          // complete SysEx messages in the file
    int programMessages = 0;   // those that hold programs
    std::vector<unsigned char> globalBlock;   // of the first all-data dump, else empty
};

// The complete SysEx messages (F0 ... F7) in `bytes`.
int CountMessages(const unsigned char* bytes, std::size_t size);

// Reads the programs of every program message in `bytes` into `programs`, in order. The
// file must begin with a message, as a dump file does; bytes between or after messages are
// passed over. False, with the reader's text in `error`, when no message holds programs or
// one of them is broken.
bool ReadDumpMessages(const unsigned char* bytes, std::size_t size, CProgramList& programs, CDumpMessages& found,
                      std::string& error);
