#include <gtest/gtest.h>

#include "base/window_placement.h"

namespace qorvane {
namespace {

TEST(WindowPlacement, PullsTheWindowIntoTheWorkAreaEdgeByEdge) {
    const WorkArea area{0, 0, 1024, 738};
    EXPECT_EQ(ClampIntoWorkArea({-50, 5000, 600, 400}, area), (WindowBounds{0, 338, 600, 400}));
    EXPECT_EQ(ClampIntoWorkArea({900, -10, 600, 400}, area), (WindowBounds{424, 0, 600, 400}));
    EXPECT_EQ(ClampIntoWorkArea({100, 100, 600, 400}, area), (WindowBounds{100, 100, 600, 400}));
}

TEST(WindowPlacement, WindowLargerThanTheAreaEndsOnItsRightAndBottomEdges) {
    const WorkArea area{10, 20, 810, 620};
    // Left and top are pulled in first, then right and bottom win.
    EXPECT_EQ(ClampIntoWorkArea({0, 0, 1000, 700}, area), (WindowBounds{-190, -80, 1000, 700}));
}

TEST(WindowPlacement, WorkAreaWithAnOffset) {
    const WorkArea area{0, 30, 1280, 1024};  // a panel at the top
    EXPECT_EQ(ClampIntoWorkArea({5, 0, 323, 211}, area).top, 30);
}

TEST(WindowPlacement, CentringTruncatesHalves) {
    EXPECT_EQ(CentredOn(100, 100, 323, 211), (WindowBounds{-61, -5, 323, 211}));
    EXPECT_EQ(CentredOn(3, 3, 9, 9), (WindowBounds{-1, -1, 9, 9}));
    EXPECT_EQ(CentredOver({10, 10, 600, 401}, 313, 65), (WindowBounds{154, 178, 313, 65}));
}

TEST(WindowPlacement, BesideAnotherWindowWithoutCoveringIt) {
    const WorkArea area{0, 0, 1024, 738};
    const WindowBounds size{0, 0, 300, 200};
    const WindowBounds minimum{0, 0, 100, 100};
    EXPECT_EQ(BesideWithin({100, 100, 313, 140}, size, minimum, 8, area), (WindowBounds{421, 100, 300, 200}));
    // No room on the right: left, pulled up into the area.
    EXPECT_EQ(BesideWithin({600, 600, 313, 140}, size, minimum, 8, area), (WindowBounds{292, 538, 300, 200}));
    // Nor on the left: below.
    EXPECT_EQ(BesideWithin({0, 100, 1024, 140}, size, minimum, 8, area), (WindowBounds{0, 248, 300, 200}));
    // No side holds it whole: above keeps the most of it.
    EXPECT_EQ(BesideWithin({355, 300, 313, 140}, {0, 0, 560, 380}, minimum, 8, area),
              (WindowBounds{355, 0, 560, 292}));
    // Never cut below the minimum: then it covers a part.
    EXPECT_EQ(BesideWithin({0, 40, 1024, 658}, size, minimum, 8, area), (WindowBounds{0, 638, 300, 100}));
}

TEST(WindowPlacement, ClientAreaInsideAFrameAndBack) {
    const FrameMargins margins{4, 30, 5, 6};
    EXPECT_EQ(ClientOfFrame({100, 50, 600, 400}, margins), (WindowBounds{104, 80, 591, 364}));
    EXPECT_EQ(FrameOfClient({104, 80, 591, 364}, margins), (WindowBounds{100, 50, 600, 400}));
    // A frame smaller than its own borders leaves no client area.
    EXPECT_EQ(ClientOfFrame({0, 0, 8, 20}, margins), (WindowBounds{4, 30, 0, 0}));
}

}  // namespace
}  // namespace qorvane
