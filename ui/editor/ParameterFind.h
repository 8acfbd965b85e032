#pragma once
// The Program Editor's "Find parameter": which of the parameters shown match what was typed.
// A parameter is found by the words of its section, its group and its name ("Timbre 2",
// "Filter", "Cutoff"): every word typed must begin one of them, letter case ignored, so
// "cutoff", "timbre 2 cutoff", "arp tempo" and "seq1 step 5" each find what they say.
// Parameters whose words the typed ones match whole come first, the rest in panel order.

#include <string>
#include <string_view>
#include <vector>

struct CParameter;

// The words a parameter is found by, in lower case: "timbre 2 filter cutoff".
std::string ParameterSearchText(const CParameter& parameter);

std::vector<const CParameter*> FindParameters(const std::vector<const CParameter*>& shown, std::string_view typed);
