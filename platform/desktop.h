#pragma once
// The desktop's work area: the part of the screen that windows may use
// (without panels and docks). Every window the program places is pulled into
// it.

namespace qorvane {

// Screen pixels; right and bottom are exclusive edges.
struct WorkArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const WorkArea&) const = default;
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // The work area of the primary screen; the whole screen when the system
    // cannot tell.
    virtual WorkArea workArea() const = 0;
};

}  // namespace qorvane
