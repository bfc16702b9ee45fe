#include "app/kept_tree.h"

#include <gtest/gtest.h>

namespace qorvane {
namespace {

TEST(KeptTreeOutputFolder, JoinsTheSubfolderBelowTheAddedFolder) {
    EXPECT_EQ(KeptTreeOutputFolder("/out", "/in", "/in/Artist/Album/01.flac"), "/out/Artist/Album");
    EXPECT_EQ(KeptTreeOutputFolder("/out/", "/in/", "/in/アーティスト/アルバム/01.flac"),
              "/out/アーティスト/アルバム");
    EXPECT_EQ(KeptTreeOutputFolder("/out", "/in", "/in/01.flac"), "/out");
}

TEST(KeptTreeOutputFolder, LeavesTheFolderAsItIsOutsideTheTreeOrBesideTheInput) {
    EXPECT_EQ(KeptTreeOutputFolder("", "/in", "/in/a/01.flac"), "");
    EXPECT_EQ(KeptTreeOutputFolder("/out", "/in", "/elsewhere/a/01.flac"), "/out");
    EXPECT_EQ(KeptTreeOutputFolder("/out", "/in", "/in/../x/01.flac"), "/out");
    EXPECT_EQ(KeptTreeOutputFolder("/out", "/in", "/input/a/01.flac"), "/out");
}

}  // namespace
}  // namespace qorvane
