#include "encode/same_output.h"

#include <gtest/gtest.h>

#include "support/batch_fakes.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::FakeOutputFolders;
using testing::TempDir;

TEST(SameOutput, FoldersCountByIdentityNamesByTheFoldersLetterCase) {
    FakeOutputFolders folders;
    folders.known["/media"] = {1, 10, false};
    folders.known["/alias"] = {1, 10, false};
    folders.known["/elsewhere"] = {2, 10, false};
    folders.known["/stick"] = {3, 10, true};
    const auto same = [&](const char* folderA, const char* nameA, const char* folderB, const char* nameB) {
        return SameOutput(PlaceOf(folders, folderA, nameA), PlaceOf(folders, folderB, nameB));
    };
    EXPECT_TRUE(same("/media", "long.wma", "/alias", "long.wma"));
    EXPECT_FALSE(same("/media", "long.wma", "/elsewhere", "long.wma"));
    EXPECT_FALSE(same("/media", "long.wma", "/alias", "Long.wma"));
    EXPECT_TRUE(same("/stick", "Song.wma", "/stick", "song.wma"));
    EXPECT_FALSE(same("/stick", "Song.wma", "/stick", "Songs.wma"));
}

// A folder not made yet (or gone) has no identity: its path, normalised,
// tells it apart.
TEST(SameOutput, AFolderTheFileSystemDoesNotKnowIsComparedByItsPath) {
    const TempDir dir;
    FakeOutputFolders folders;
    folders.known[dir / "made"] = {1, 10, false};
    const auto place = [&](const std::filesystem::path& folder) { return PlaceOf(folders, folder, "a.wma"); };
    EXPECT_TRUE(SameOutput(place(dir / "new/"), place(dir / "x/../new")));
    EXPECT_FALSE(SameOutput(place(dir / "new"), place(dir / "other")));
    EXPECT_FALSE(SameOutput(place(dir / "made"), place(dir / "new")));
}

}  // namespace
}  // namespace qorvane
