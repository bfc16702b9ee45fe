#pragma once
// Placing windows: every window the program places is pulled into the work
// area by one rule, so that none starts off-screen. Bounds are those of the
// outer frame (title bar and borders included), so that a window pulled to
// an edge of the area ends on it, frame and all.

#include "platform/desktop.h"

namespace qorvane {

struct WindowBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const WindowBounds&) const = default;
};

// How far a window's frame reaches beyond its client area on each side.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const FrameMargins&) const = default;
};

// The client area inside the given frame bounds; its size is never negative.
WindowBounds ClientOfFrame(const WindowBounds& frame, const FrameMargins& margins);

// The frame bounds around the given client area.
WindowBounds FrameOfClient(const WindowBounds& client, const FrameMargins& margins);

// Moves (never resizes) the window into the area, in this order: left edge,
// top edge, right edge, bottom edge. A window larger than the area thus ends
// with its right and bottom edges on the area's edges.
WindowBounds ClampIntoWorkArea(WindowBounds bounds, const WorkArea& area);

// A window of the given size centred on a point (halves truncated toward zero).
WindowBounds CentredOn(int x, int y, int width, int height);

// A window of the given size centred on another window.
WindowBounds CentredOver(const WindowBounds& owner, int width, int height);

// A window that wants the size of `wanted` (of it and of `minimum` only the
// sizes count), put beside `other` without covering
// it, `gap` apart: right of it, else left, else below, else above, top or
// left edges in line with it; the first side with room for the whole window
// takes it. Where none has, the side that keeps most of the window takes it
// cut down to its room, though never below the minimum size. Then pulled
// into the area.
WindowBounds BesideWithin(const WindowBounds& other, const WindowBounds& wanted, const WindowBounds& minimum,
                          int gap, const WorkArea& area);

}  // namespace qorvane
