#pragma once
// The files of a drop, or of the start-up arguments, that the job list does
// not take (a kind the program does not convert), and the folders whose
// files could not be listed: the user is told their names in one message
// instead of losing them silently.

#include <cstddef>
#include <string>
#include <vector>

namespace qorvane {

// The paths IsAcceptedMediaFile refuses, in their order.
std::vector<std::string> RefusedFiles(const std::vector<std::string>& paths);

// Why a folder's files were not added, said of one folder.
std::string FolderNotReadableText();

// The message naming them: a head, then a file name a line (at most
// `maxListed`, then how many more). Empty when none was refused.
std::string FormatRefusedFiles(const std::vector<std::string>& refused, std::size_t maxListed = 20);

// Both in one message: the refused files as above, then the folders that
// could not be read (by their whole path), each part only when it has any.
std::string FormatRefusedInputs(const std::vector<std::string>& refused,
                                const std::vector<std::string>& unreadableFolders, std::size_t maxListed = 20);

}  // namespace qorvane
