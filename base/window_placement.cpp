#include "base/window_placement.h"

#include <algorithm>

namespace qorvane {

WindowBounds ClientOfFrame(const WindowBounds& frame, const FrameMargins& margins) {
    return {frame.left + margins.left, frame.top + margins.top,
            std::max(0, frame.width - margins.left - margins.right),
            std::max(0, frame.height - margins.top - margins.bottom)};
}

WindowBounds FrameOfClient(const WindowBounds& client, const FrameMargins& margins) {
    return {client.left - margins.left, client.top - margins.top, client.width + margins.left + margins.right,
            client.height + margins.top + margins.bottom};
}

WindowBounds ClampIntoWorkArea(WindowBounds b, const WorkArea& area) {
    if (b.left < area.left) b.left = area.left;
    if (b.top < area.top) b.top = area.top;
    if (b.left + b.width > area.right) b.left = area.right - b.width;
    if (b.top + b.height > area.bottom) b.top = area.bottom - b.height;
    return b;
}

WindowBounds CentredOn(int x, int y, int width, int height) {
    return {x - width / 2, y - height / 2, width, height};
}

WindowBounds CentredOver(const WindowBounds& owner, int width, int height) {
    return {owner.left + owner.width / 2 - width / 2, owner.top + owner.height / 2 - height / 2,
            width, height};
}

}  // namespace qorvane
