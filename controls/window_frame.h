#pragma once
// A top-level window's bounds as the program saves and places them: those of
// its outer frame. The frame is the window manager's, and is known only once
// the window is on the screen; until then the client area stands in for it,
// and what was asked for is applied again as soon as the frame is known.

#include <functional>

#include "base/window_placement.h"

class QWidget;

namespace qorvane {

// The window's frame rectangle (title bar and borders included).
WindowBounds FrameBounds(const QWidget& window);

// How far the window's frame reaches beyond its client area (none before
// the window is framed).
FrameMargins FrameMarginsOf(const QWidget& window);

// Gives the window these frame bounds: the frame at their left and top, the
// client area sized to leave room for the frame.
void SetFrameBounds(QWidget& window, const WindowBounds& frame);

// Places a window that keeps its size: `place` gets the frame's width and
// height and returns the frame bounds, of which left and top are used.
void PlaceFrame(QWidget& window, std::function<WindowBounds(int width, int height)> place);

}  // namespace qorvane
