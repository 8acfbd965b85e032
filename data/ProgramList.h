#pragma once
// The loaded library: an ordered array of program records that owns every record in it.
// The order is the order of the grid rows; only a sort changes it.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class CSyxProgram;

class CProgramList
{
public:
    CProgramList();
    virtual ~CProgramList();

    CProgramList(const CProgramList&) = delete;
    CProgramList& operator=(const CProgramList&) = delete;

    int GetSize() const { return static_cast<int>(m_items.size()); }
    // The record at `index`, or nullptr when the index is out of range.
    CSyxProgram* GetAt(int index) const;
    // Appends a record and takes ownership of it. A null pointer is ignored.
    void Add(CSyxProgram* program);
    // Frees every record, leaves the list empty and gives back its storage.
    void DeleteAll();

    // Appends the programs of one dump file, each with `fileName`. Returns 1 on success; on
    // failure returns 0, puts a fixed text in `error` and leaves the list as it was.
    // (SyxReader.cpp)
    int ReadSyxFile(const std::string& path, std::string& error, std::string fileName);
    // The same for a message held in memory (a dump received over MIDI): the same bytes are
    // accepted, with the same texts, exactly when they would be as a file.
    int ReadSyxBytes(const unsigned char* bytes, std::size_t size, std::string& error, std::string fileName);

    // Sorts the records in place by the key of a grid column. (ProgramSort.h/.cpp)
    void SortByColumn(int column);

    // A new program put together from parts of the programs before the first one with a
    // placeholder name; the caller deletes it. nullptr when no program there can be a source.
    // (RandomProgram.h/.cpp)
    CSyxProgram* CreateRandomProgram() const;
    // The data of a program drawn at random among indices 0 to `last`, never a Vocoder program;
    // nullptr when no such program can be drawn there.
    const unsigned char* PickRandomSource(int last) const;

private:
    int AppendDump(const unsigned char* header, unsigned char* body, unsigned int bodyRead,
                   std::string& error, const std::string& fileName);

    // The records of a dump, and after them their data, are made in one block of storage, as
    // a large library holds a great many; those handed to Add were allocated one by one.
    struct RecordBlock {
        std::unique_ptr<unsigned char[]> storage;
        unsigned int count = 0;   // records made in it so far, from its start
    };

    std::vector<CSyxProgram*> m_items;
    std::vector<RecordBlock> m_blocks;
    std::vector<CSyxProgram*> m_added;
};
