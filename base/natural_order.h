#pragma once
// Names in the order a file manager lists them: runs of digits compare as
// numbers ("Track 2" before "Track 10"), letters without regard to ASCII
// case, everything else (Japanese included) by code point. Folders and files
// are not told apart: they interleave by name.

#include <string>
#include <string_view>
#include <vector>

namespace qorvane {

// Negative, zero or positive as a sorts before, with or after b. Zero only
// for equal texts: names that differ only in case or in leading zeros still
// get a fixed order ("a" before "A", "2" before "02").
int NaturalCompare(std::string_view a, std::string_view b);

inline bool NaturalLess(std::string_view a, std::string_view b) { return NaturalCompare(a, b) < 0; }

void SortNaturally(std::vector<std::string>& names);

}  // namespace qorvane
