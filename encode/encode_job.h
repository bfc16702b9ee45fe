#pragma once
// One row of the job list: the visible columns in their order, then the
// input's full path and the output folder.

#include <string>

namespace qorvane {

struct EncodeJob {
    std::string File;     // the input's file name
    std::string Profile;  // profile display name
    std::string Title;
    std::string Author;
    std::string Album;
    std::string Year;
    std::string Copy;
    std::string Path;     // the input as it was added
    std::string OutDir;   // empty: the input's own folder

    bool operator==(const EncodeJob&) const = default;
};

}  // namespace qorvane
