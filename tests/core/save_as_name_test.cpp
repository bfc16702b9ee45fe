#include "profiles/save_as_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "profiles/profile_names.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

bool SameAscii(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

TEST(SaveAsName, ExactSpellingWinsOverAnotherCase) {
    const std::vector<std::string> names = {"Music", "music", "Video"};
    EXPECT_EQ(FindProfileName(names, "music", SameAscii), 1u);
    EXPECT_EQ(FindProfileName(names, "MUSIC", SameAscii), 0u);
    EXPECT_EQ(FindProfileName(names, "video", SameAscii), 2u);
    EXPECT_FALSE(FindProfileName(names, "Voice", SameAscii).has_value());
}

TEST(SaveAsName, ExistingFileThenDropDownEntryLendTheirSpelling) {
    const std::vector<std::string> files = {"Music"};
    const std::vector<std::string> listed = {"Music", "Temporary"};
    EXPECT_EQ(SaveAsProfileName("MUSIC", files, listed, SameAscii), "Music");
    // "Temporary" has no file yet: the entry's spelling is taken so that the
    // entry loads what is saved now.
    EXPECT_EQ(SaveAsProfileName("temporary", files, listed, SameAscii), "Temporary");
    EXPECT_EQ(SaveAsProfileName("New one", files, listed, SameAscii), "New one");
}

TEST(SaveAsName, ProfileFileNamesHasNoStandInName) {
    testing::TempDir dir;
    EXPECT_TRUE(ProfileFileNames(dir.path()).empty());
    EXPECT_EQ(ListProfileNames(dir.path()), std::vector<std::string>{kTemporaryProfileName});
    dir.write("a.wpf", "");
    EXPECT_EQ(ProfileFileNames(dir.path()), std::vector<std::string>{"a"});
}

}  // namespace
}  // namespace qorvane
