#pragma once
// A text file that survives a crash whole: lines are appended and are on
// disk once append() returns, and the whole text is replaced at once, never
// leaving half of either.

#include <string>
#include <string_view>

namespace qorvane {

class DurableTextFile {
public:
    virtual ~DurableTextFile() = default;
    // The text; empty when there is no file yet or it cannot be read.
    virtual std::string load() = 0;
    // Appends `lines` (ending in a line break) after a line break of its
    // own when a crash left the last line unfinished. False on failure.
    virtual bool append(std::string_view lines) = 0;
    virtual bool replace(std::string_view text) = 0;
};

}  // namespace qorvane
