#pragma once
// How many encoder runs a batch keeps going at the same time: from 1 (one
// after the other, the default) up to the number of processors.

#include <optional>
#include <string_view>

namespace qorvane {

// The processors this program may use; at least 1.
int ProcessorCount();

// A wish brought into range: below 1 gives 1, above the processors gives
// their number.
int ClampParallelRuns(long long wish);

// A count as typed ("2"; "0" means one per processor): nothing unless it is
// all decimal digits.
std::optional<int> ParseParallelRuns(std::string_view text);

}  // namespace qorvane
