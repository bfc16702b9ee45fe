#include "profiles/video_catalogue.h"

#include <gtest/gtest.h>

namespace qorvane {
namespace {

TEST(VideoCatalogue, LookupsNeverReadOutsideTheirTables) {
    EXPECT_EQ(FixedFrameSize(1)->width, "720");
    EXPECT_EQ(FixedFrameSize(9)->height, "120");
    EXPECT_FALSE(FixedFrameSize(0));
    EXPECT_FALSE(FixedFrameSize(10));
    EXPECT_EQ(PixelFormatName(4), "RGB 24");
    EXPECT_EQ(PixelFormatName(14), "YVYU");
    EXPECT_FALSE(PixelFormatName(0));
    EXPECT_FALSE(PixelFormatName(15));
}

}  // namespace
}  // namespace qorvane
