#pragma once
// Tags... on the selected programs: the dialog shows the tags they all share, and what the
// user leaves, adds or takes out of that line is applied to each of them; their other tags
// stay as they are.

#include "Collection.h"

#include <string>
#include <vector>

class QWidget;

// The tags every one of the programs has (letter case ignored), in the first one's order.
std::vector<std::string> CommonTags(const std::vector<CCollectionRow>& programs);
// The tags of a comma-separated line: blanks around each trimmed, empty ones and repeats
// (letter case ignored) left out.
std::vector<std::string> ParseTags(const std::string& line);

struct CTagChange {
    std::vector<std::string> added;
    std::vector<std::string> removed;
};
// What turns `before` into `after`, letter case ignored.
CTagChange TagChange(const std::vector<std::string>& before, const std::vector<std::string>& after);

// Asks for the tags of `count` programs, starting from `current`. False when cancelled.
bool AskTags(QWidget* parent, const std::vector<std::string>& current, int count, std::vector<std::string>& tags);
