#include "profiles/profile_settings.h"

#include <gtest/gtest.h>

#include "profiles/encoding_modes.h"
#include "profiles/profile_names.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

TEST(ProfileSettings, NewFileFromDefaultsIsTheSeventeenLines) {
    TempDir dir;
    const auto path = dir / "Temporary.wpf";
    ASSERT_TRUE(WriteProfile(path, ProfileSettings{}));
    EXPECT_EQ(ReadFileBytes(path),
              "[audio]\r\nmode=1\r\nbitrate=14\r\npeak=\r\n"
              "[video]\r\nmode=1\r\nbitrate=250\r\nquality=75\r\nframerate=\r\nkeyframe=\r\n"
              "peak=\r\nsize=0\r\npixelformat=0\r\nfillter=0\r\nwidth=320\r\nheight=240\r\n"
              "performance=0\r\n");
}

TEST(ProfileSettings, MissingFileLoadsDefaultsAndCreatesNothing) {
    TempDir dir;
    const auto path = dir / "absent.wpf";
    const ProfileSettings loaded = LoadProfile(path);
    EXPECT_EQ(loaded, ProfileSettings{});
    EXPECT_EQ(AudioSettingCode(loaded.AudioMode, loaded.AudioSetting), "64_44_2");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ProfileSettings, PartialAndMalformedFilesFallBackPerField) {
    TempDir dir;
    const auto path = dir.write("p.wpf",
                                "[AUDIO]\nMode=3\npeak=96\n"
                                "[video]\nbitrate=\nquality=high\nsize=42\nfillter=2\nwidth=\n");
    const ProfileSettings p = LoadProfile(path);
    EXPECT_EQ(p.AudioMode, 3);
    EXPECT_EQ(p.AudioSetting, 14);  // absent: default, beyond the 8 quality rows
    EXPECT_FALSE(AudioSettingCode(p.AudioMode, p.AudioSetting));
    EXPECT_EQ(p.AudioPeak, "96");
    EXPECT_EQ(p.VideoBitrate, "");   // present but empty stays empty
    EXPECT_EQ(p.VideoQuality, 75);   // not an integer
    EXPECT_EQ(p.VideoSize, 42);      // out of range loads unchanged
    EXPECT_EQ(p.VideoFilter, 2);
    EXPECT_EQ(p.CustomWidth, "");
    EXPECT_EQ(p.CustomHeight, "240");
    EXPECT_EQ(p.VideoMode, 1);
}

TEST(ProfileSettings, WritingKeepsForeignKeysAndRoundTrips) {
    TempDir dir;
    const auto path = dir.write("p.wpf", "; mine\r\n[video]\r\nSIZE=3\r\nowner=me\r\n[extra]\r\na=b\r\n");
    ProfileSettings s;
    s.AudioMode = 0;
    s.AudioSetting = -1;
    s.VideoBitrate = "300,500";
    s.FrameRate = "29.97";
    s.VideoSize = 10;
    s.CustomWidth = "640";
    ASSERT_TRUE(WriteProfile(path, s));
    const std::string text = ReadFileBytes(path);
    EXPECT_NE(text.find("; mine\r\n[video]\r\nsize=10\r\nowner=me\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[extra]\r\na=b\r\n"), std::string::npos);
    EXPECT_NE(text.find("[audio]\r\nmode=0\r\nbitrate=-1\r\npeak=\r\n"), std::string::npos);
    EXPECT_EQ(LoadProfile(path), s);
}

TEST(ProfileSettings, WriteFailsIntoAMissingDirectory) {
    TempDir dir;
    EXPECT_FALSE(WriteProfile(dir / "no/such.wpf", ProfileSettings{}));
}

TEST(ProfileNames, ListsVisibleWpfFilesByDisplayName) {
    TempDir dir;
    EXPECT_EQ(ListProfileNames(dir.path()), std::vector<std::string>{"Temporary"});
    EXPECT_EQ(ListProfileNames(dir / "missing"), std::vector<std::string>{"Temporary"});
    dir.write("a.b.wpf", "");
    dir.write("Loud.WPF", "");
    dir.write(".hidden.wpf", "");
    dir.write("notes.txt", "");
    std::filesystem::create_directory(dir / "folder.wpf");
    auto names = ListProfileNames(dir.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Loud", "a.b"}));
    EXPECT_EQ(ProfilePath(dir.path(), "a.b"), dir / "a.b.wpf");
}

TEST(ProfileNames, AListedNameLoadsItsFileWhateverTheExtensionCase) {
    TempDir dir;
    dir.write("Upper.WPF", "[video]\r\nbitrate=700\r\n");
    EXPECT_EQ(LoadProfile(ProfilePath(dir.path(), "Upper")).VideoBitrate, "700");
    EXPECT_EQ(ProfilePath(dir.path(), "New"), dir / "New.wpf");  // where a new profile is saved
    EXPECT_TRUE(IsProfileFileArgument("p/Upper.WPF"));
    EXPECT_FALSE(IsProfileFileArgument("Upper"));
}

}  // namespace
}  // namespace qorvane
