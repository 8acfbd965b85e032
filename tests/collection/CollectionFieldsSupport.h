#pragma once
// A Collection made with every field the user or a file can give (sounds, names seen,
// renames, favourites, hidden marks, tags, comments, lists, sources of every kind with their
// times and bytes), and everything a Collection holds read back in a form that compares
// between two Collections: programs by their sound, not by their ids.

#include "CollectionTestSupport.h"

#include <map>
#include <string>
#include <vector>

struct CProgramFields {
    std::string shownName;
    std::string voiceMode;
    bool favourite = false;
    bool hidden = false;
    std::vector<std::string> tags;
    std::string comment;
    int sourceCount = 0;
    std::string firstSeen;
    std::vector<std::string> names;
};

struct CSourceFields {
    SourceKind kind = SourceKind::File;
    std::string name;
    std::string takenIn;
    std::int64_t size = 0;
    Bytes bytes;
    std::vector<std::string> slotSounds;   // the sound of each slot
};

struct CListFields {
    std::vector<std::string> sounds;   // in list order
    Bytes dump;                        // for a list of 128: its bank dump
};

struct CCollectionFields {
    std::map<std::string, CProgramFields> programs;   // by sound (bytes 12-253)
    std::vector<CSourceFields> sources;               // oldest first
    std::map<std::string, CListFields> lists;         // by name
};

CCollectionFields ReadFields(CCollection& collection);

// Fills `collection` with two banks sharing sounds, a one-program file, a receive, a bank
// saved with new sounds and one without, a list of chosen programs, and marks of every kind.
// Times are fixed, from `firstTime` on.
void FillWithEveryField(CCollection& collection, const std::string& prefix, unsigned int seed,
                        std::int64_t firstTime);

// Every field of the two, told field by field where they differ.
void ExpectSameFields(const CCollectionFields& expected, const CCollectionFields& actual, const std::string& what);
