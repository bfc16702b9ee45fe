#pragma once
// The files of a drop, or of the start-up arguments, that the job list does
// not take (a kind the program does not convert, a folder): the user is
// told their names in one message instead of losing them silently.

#include <cstddef>
#include <string>
#include <vector>

namespace qorvane {

// The paths IsAcceptedMediaFile refuses, in their order.
std::vector<std::string> RefusedFiles(const std::vector<std::string>& paths);

// The message naming them: a head, then a file name a line (at most
// `maxListed`, then how many more). Empty when none was refused.
std::string FormatRefusedFiles(const std::vector<std::string>& refused, std::size_t maxListed = 20);

}  // namespace qorvane
