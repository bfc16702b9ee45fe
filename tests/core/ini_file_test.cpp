#include "base/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

TEST(IniFile, LooksUpSectionsAndKeysWithoutRegardToCase) {
    const IniFile ini = IniFile::Parse("[Audio]\nMODE = 3 \n[video]\nbitrate=300,500\r\n");
    EXPECT_EQ(ini.get("audio", "mode"), "3");
    EXPECT_EQ(ini.get("VIDEO", "Bitrate"), "300,500");
    EXPECT_FALSE(ini.get("audio", "bitrate"));
    EXPECT_FALSE(ini.get("missing", "mode"));
}

TEST(IniFile, PresentEmptyValueIsNotAbsent) {
    const IniFile ini = IniFile::Parse("[video]\nbitrate=\n");
    EXPECT_EQ(ini.get("video", "bitrate"), "");
    EXPECT_EQ(ini.getString("video", "bitrate", "250"), "");
    EXPECT_EQ(ini.getString("video", "width", "320"), "320");
}

TEST(IniFile, IntegersMustBeWholeNumbers) {
    const IniFile ini = IniFile::Parse(
        "[s]\na=-1\nb=12abc\nc=\nd= 42 \ne=99999999999\nf=+7\ng=0x10\n");
    EXPECT_EQ(ini.getInt("s", "a", 5), -1);
    EXPECT_EQ(ini.getInt("s", "b", 5), 5);
    EXPECT_EQ(ini.getInt("s", "c", 5), 5);
    EXPECT_EQ(ini.getInt("s", "d", 5), 42);
    EXPECT_EQ(ini.getInt("s", "e", 5), 5);
    EXPECT_EQ(ini.getInt("s", "f", 5), 7);
    EXPECT_EQ(ini.getInt("s", "g", 5), 5);
    EXPECT_EQ(ini.getInt("s", "missing", 5), 5);
}

TEST(IniFile, FirstOfRepeatedSectionsAndKeysWins) {
    const IniFile ini = IniFile::Parse("[a]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
    EXPECT_EQ(ini.get("a", "k"), "1");
    EXPECT_FALSE(ini.get("a", "j"));
}

TEST(IniFile, WritingKeepsCommentsUnknownKeysAndOrder) {
    IniFile ini = IniFile::Parse(
        "; made by hand\n[audio]\nMode=2\nextra=keep me\n\n[other]\nx=1\n[video]\n; note\nsize=3\n");
    ini.set("audio", "mode", "1");      // replaced in place
    ini.set("audio", "peak", "");       // appended to its section, before the blank line
    ini.set("video", "quality", "75");  // appended after the comment and the key
    ini.set("new", "k", "v");           // a missing section is appended
    EXPECT_EQ(ini.serialize(),
              "; made by hand\r\n[audio]\r\nmode=1\r\nextra=keep me\r\npeak=\r\n\r\n"
              "[other]\r\nx=1\r\n[video]\r\n; note\r\nsize=3\r\nquality=75\r\n[new]\r\nk=v\r\n");
}

TEST(IniFile, RoundTripOfAnUntouchedFileKeepsEveryLine) {
    const std::string text = "\xEF\xBB\xBF; bom\r\n[a]\r\n  spaced = value  \r\n\r\nloose line\r\n";
    EXPECT_EQ(IniFile::Parse(text).serialize(), text);
}

TEST(IniFile, SaveReplacesTheFileAtomicallyAndReadsBack) {
    TempDir dir;
    const auto path = dir.write("p.ini", "[a]\nk=1\n; comment\n");
    IniFile ini = IniFile::Load(path);
    ini.set("A", "k", "2");
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(ReadFileBytes(path), "[a]\r\nk=2\r\n; comment\r\n");
    EXPECT_EQ(IniFile::Load(path).get("a", "k"), "2");
    // No temporary file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST(IniFile, SaveFailsWithoutTouchingAReadOnlyFileOrAMissingDirectory) {
    TempDir dir;
    const auto path = dir.write("ro.ini", "[a]\nk=1\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read);
    IniFile ini = IniFile::Load(path);
    ini.set("a", "k", "2");
    EXPECT_FALSE(ini.save(path));
    EXPECT_EQ(ReadFileBytes(path), "[a]\nk=1\n");
    EXPECT_FALSE(ini.save(dir / "no-such-dir/x.ini"));
}

TEST(IniFile, MissingFileLoadsEmpty) {
    TempDir dir;
    const IniFile ini = IniFile::Load(dir / "absent.ini");
    EXPECT_EQ(ini.serialize(), "");
    EXPECT_EQ(ini.getInt("a", "b", 9), 9);
}

}  // namespace
}  // namespace qorvane
