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

WindowBounds BesideWithin(const WindowBounds& other, const WindowBounds& wanted, const WindowBounds& minimum,
                          int gap, const WorkArea& area) {
    enum Side { Right, Left, Below, Above };
    const auto across = [](Side side) { return side == Right || side == Left; };
    const auto room = [&](Side side) {
        switch (side) {
            case Right: return area.right - (other.left + other.width + gap);
            case Left: return other.left - gap - area.left;
            case Below: return area.bottom - (other.top + other.height + gap);
            case Above: return other.top - gap - area.top;
        }
        return 0;
    };
    // The window at that side, as wide (or high) as the side allows.
    const auto at = [&](Side side) {
        WindowBounds b{other.left, other.top, wanted.width, wanted.height};
        if (across(side)) {
            b.width = std::max(minimum.width, std::min(wanted.width, room(side)));
        } else {
            b.height = std::max(minimum.height, std::min(wanted.height, room(side)));
        }
        switch (side) {
            case Right: b.left = other.left + other.width + gap; break;
            case Left: b.left = other.left - gap - b.width; break;
            case Below: b.top = other.top + other.height + gap; break;
            case Above: b.top = other.top - gap - b.height; break;
        }
        return b;
    };
    Side best = Right;
    long long bestKept = -1;
    for (const Side side : {Right, Left, Below, Above}) {
        const int needed = across(side) ? wanted.width : wanted.height;
        if (room(side) >= needed) return ClampIntoWorkArea(at(side), area);
        const long long kept = static_cast<long long>(std::clamp(room(side), 0, needed)) *
                               (across(side) ? wanted.height : wanted.width);
        if (kept > bestKept) {
            best = side;
            bestKept = kept;
        }
    }
    return ClampIntoWorkArea(at(best), area);
}

}  // namespace qorvane
