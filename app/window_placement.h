#pragma once
// Placing windows: every window the program places is pulled into the work
// area by one rule, so that none starts off-screen.

#include "platform/desktop.h"

namespace qorvane {

struct WindowBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const WindowBounds&) const = default;
};

// Moves (never resizes) the window into the area, in this order: left edge,
// top edge, right edge, bottom edge. A window larger than the area thus ends
// with its right and bottom edges on the area's edges.
WindowBounds ClampIntoWorkArea(WindowBounds bounds, const WorkArea& area);

// A window of the given size centred on a point (halves truncated toward zero).
WindowBounds CentredOn(int x, int y, int width, int height);

// A window of the given size centred on another window.
WindowBounds CentredOver(const WindowBounds& owner, int width, int height);

}  // namespace qorvane
