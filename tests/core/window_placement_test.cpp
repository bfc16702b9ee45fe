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

TEST(WindowPlacement, ClientAreaInsideAFrameAndBack) {
    const FrameMargins margins{4, 30, 5, 6};
    EXPECT_EQ(ClientOfFrame({100, 50, 600, 400}, margins), (WindowBounds{104, 80, 591, 364}));
    EXPECT_EQ(FrameOfClient({104, 80, 591, 364}, margins), (WindowBounds{100, 50, 600, 400}));
    // A frame smaller than its own borders leaves no client area.
    EXPECT_EQ(ClientOfFrame({0, 0, 8, 20}, margins), (WindowBounds{4, 30, 0, 0}));
}

}  // namespace
}  // namespace qorvane
