#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings.h"
#include "encode/parallel_runs.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

constexpr WorkArea kArea{0, 0, 1024, 738};

MainWindowState Window(bool maximised) {
    MainWindowState w;
    w.maximised = maximised;
    w.bounds = {10, 20, 640, 480};
    w.columnWidths = {1, 2, 3, 4, 5, 6, 7};
    w.profileName = "Voice";
    return w;
}

TEST(AppSettings, FirstRunWithoutFileGivesTheDefaults) {
    TempDir dir;
    const AppSettings s = LoadSettings(dir / "qorvane.ini", kArea);
    EXPECT_EQ(s.left, 212);
    EXPECT_EQ(s.top, 169);
    EXPECT_EQ(s.width, 600);
    EXPECT_EQ(s.height, 400);
    EXPECT_EQ(s.columnWidths, (std::array<int, 7>{100, 100, 100, 80, 80, 40, 80}));
    EXPECT_FALSE(s.shutdn || s.bone || s.ball);
    EXPECT_EQ(s.dir, "");
    EXPECT_EQ(s.prof, "");
}

TEST(AppSettings, DefaultPositionDividesTowardZero) {
    // A work area narrower than the window gives a negative left edge.
    const AppSettings s = DefaultSettings({0, 0, 301, 401});
    EXPECT_EQ(s.left, (301 - 600) / 2);
    EXPECT_EQ(s.left, -149);
    EXPECT_EQ(s.top, 0);
}

TEST(AppSettings, ReadsEveryKeyAndFallsBackPerKey) {
    TempDir dir;
    const auto file = dir.write("q.ini",
                                "[ENV]\r\ndir=" + dir.path().string() +
                                "\r\nleft=-5\r\nwidth=abc\r\nheight=300\r\nprof=Voice\r\nshutdn=2\r\n"
                                "[snd]\r\nbone=1\r\nball=0\r\nsone=/s/one.wav\r\nsall=\r\n"
                                "[Column]\r\nFile=55\r\nYear=x\r\nCopy=90\r\n");
    const AppSettings s = LoadSettings(file, kArea);
    EXPECT_EQ(s.dir, dir.path().string());
    EXPECT_EQ(s.left, -5);
    EXPECT_EQ(s.top, 169);   // absent
    EXPECT_EQ(s.width, 600); // does not parse
    EXPECT_EQ(s.height, 300);
    EXPECT_EQ(s.prof, "Voice");
    EXPECT_TRUE(s.shutdn);   // any non-zero value
    EXPECT_TRUE(s.bone);
    EXPECT_FALSE(s.ball);
    EXPECT_EQ(s.sone, "/s/one.wav");
    EXPECT_EQ(s.sall, "");
    EXPECT_EQ(s.columnWidths, (std::array<int, 7>{55, 100, 100, 80, 80, 40, 90}));
}

TEST(AppSettings, OutputFolderThatNoLongerExistsIsCleared) {
    TempDir dir;
    const auto file = dir.write("q.ini", "[env]\ndir=" + (dir / "gone").string() + "\n[snd]\nsone=/no/such.wav\n");
    const AppSettings s = LoadSettings(file, kArea);
    EXPECT_EQ(s.dir, "");
    EXPECT_EQ(s.sone, "/no/such.wav");  // sound paths are not examined
}

TEST(AppSettings, FileWrittenFromScratchHoldsTheKeysInOrder) {
    TempDir dir;
    AppSettings s = DefaultSettings(kArea);
    s.dir = "/out";
    s.shutdn = true;
    s.ball = true;
    s.sall = "/s/all.wav";
    ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
    EXPECT_EQ(ReadFileBytes(dir / "q.ini"),
              "[env]\r\ndir=/out\r\nleft=10\r\ntop=20\r\nwidth=640\r\nheight=480\r\nprof=Voice\r\n"
              "shutdn=1\r\n[Column]\r\nFile=1\r\nProfile=2\r\nTitle=3\r\nAuthor=4\r\nAlbum=5\r\n"
              "Year=6\r\nCopy=7\r\nLength=60\r\nFormat=170\r\nSize=80\r\n[snd]\r\nbone=0\r\nball=1\r\nsone=\r\nsall=/s/all.wav\r\n");
}

TEST(AppSettings, MaximisedWindowLeavesBoundsAndColumnsAsStored) {
    TempDir dir;
    const auto file = dir.write("q.ini", "[env]\nleft=7\nwidth=700\n[Column]\nFile=77\n");
    AppSettings s = DefaultSettings(kArea);
    s.dir = "/out";
    ASSERT_TRUE(SaveSettings(file, s, Window(true)));
    const AppSettings back = LoadSettings(file, kArea);
    EXPECT_EQ(back.left, 7);
    EXPECT_EQ(back.width, 700);
    EXPECT_EQ(back.top, 169);
    EXPECT_EQ(back.columnWidths[0], 77);
    EXPECT_EQ(back.columnWidths[1], 100);
    EXPECT_EQ(back.prof, "Voice");
    EXPECT_EQ(ReadFileBytes(file).find("height"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(file).find("Length"), std::string::npos);
    EXPECT_NE(ReadFileBytes(file).find("sall="), std::string::npos);
}

TEST(AppSettings, SavedSettingsComeBack) {
    TempDir dir;
    AppSettings s = DefaultSettings(kArea);
    s.dir = dir.path().string();
    s.bone = true;
    s.sone = "/s/ジョブ.wav";
    ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
    AppSettings expected = s;
    expected.left = 10;
    expected.top = 20;
    expected.width = 640;
    expected.height = 480;
    expected.prof = "Voice";
    expected.columnWidths = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(LoadSettings(dir / "q.ini", kArea), expected);
}

// The length, format and size columns and the hidden columns are keys of
// this program's own beside the seven widths, which stay as they are.
TEST(AppSettings, ColumnsBeyondTheSevenAndHiddenColumnsAreKeptBesideThem) {
    TempDir dir;
    const auto file = dir.write("q.ini", "[Column]\r\nFile=50\r\nHidden=file, TITLE,Size,,Nothing\r\nLength=x\r\n");
    AppSettings s = LoadSettings(file, kArea);
    // The first column cannot be hidden; names match in any case; unknown ones are passed over.
    EXPECT_EQ(s.columnShown, (std::array<bool, kListColumnCount>{true, true, false, true, true, true, true, true, true,
                                                                 false}));
    EXPECT_EQ(s.factsColumnWidths, (std::array<int, kFactsColumnCount>{60, 170, 80}));

    MainWindowState window = Window(false);
    window.factsColumnWidths = {11, 12, 13};
    window.columnShown.fill(true);
    window.columnShown[8] = false;
    ASSERT_TRUE(SaveSettings(file, s, window));
    const std::string text = ReadFileBytes(file);
    EXPECT_NE(text.find("File=1\r\nHidden=Format\r\nLength=11\r\nProfile=2\r\n"), std::string::npos) << text;
    s = LoadSettings(file, kArea);
    EXPECT_EQ(s.factsColumnWidths, (std::array<int, kFactsColumnCount>{11, 12, 13}));
    EXPECT_FALSE(s.columnShown[8]);
    EXPECT_TRUE(s.columnShown[2]);

    // Everything shown again: the key stays, empty.
    window.columnShown.fill(true);
    ASSERT_TRUE(SaveSettings(file, s, window));
    EXPECT_NE(ReadFileBytes(file).find("Hidden=\r\n"), std::string::npos);
    EXPECT_EQ(LoadSettings(file, kArea).columnShown[8], true);
}

// The count of runs at the same time is a key of this program's own: absent
// until set, one when missing or unreadable, never more than the processors.
TEST(AppSettings, RunsAtTheSameTimeAreKeptOnlyOnceSetAndReadWithinRange) {
    TempDir dir;
    AppSettings s = DefaultSettings(kArea);
    ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
    EXPECT_EQ(ReadFileBytes(dir / "q.ini").find("parallel"), std::string::npos);

    s.parallel = ProcessorCount();
    ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
    EXPECT_EQ(LoadSettings(dir / "q.ini", kArea).parallel, ProcessorCount());
    s.parallel = 1;  // set back: the key stays, saying so
    ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
    EXPECT_NE(ReadFileBytes(dir / "q.ini").find("parallel=1\r\n"), std::string::npos);

    for (const char* text : {"", "0", "00", "-2", "two", "2x"}) {
        EXPECT_EQ(LoadSettings(dir.write("bad.ini", std::string("[env]\nparallel=") + text + "\n"), kArea).parallel, 1)
            << text;
    }
    EXPECT_EQ(LoadSettings(dir.write("big.ini", "[env]\nparallel=100000\n"), kArea).parallel, ProcessorCount());
}

// Cover art is carried and the end of a batch notified unless the file says
// "cover=0" or "notify=0", keys written only once turned off.
TEST(AppSettings, CoverArtAndNoticeAreOnUnlessTurnedOff) {
    for (const auto& [key, flag] : {std::pair{"cover", &AppSettings::cover}, std::pair{"notify", &AppSettings::notify}}) {
        TempDir dir;
        AppSettings s = DefaultSettings(kArea);
        EXPECT_TRUE(s.*flag) << key;
        ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
        EXPECT_EQ(ReadFileBytes(dir / "q.ini").find(key), std::string::npos) << key;

        s.*flag = false;
        ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
        EXPECT_NE(ReadFileBytes(dir / "q.ini").find(std::string(key) + "=0\r\n"), std::string::npos) << key;
        EXPECT_FALSE(LoadSettings(dir / "q.ini", kArea).*flag) << key;
        EXPECT_TRUE(LoadSettings(dir.write("on.ini", "[env]\n" + std::string(key) + "=2\n"), kArea).*flag) << key;
        EXPECT_TRUE(LoadSettings(dir.write("bad.ini", "[env]\n" + std::string(key) + "=no\n"), kArea).*flag) << key;
    }
}

// The watched folders: a section of this program's own, absent until used.
TEST(AppSettings, WatchedFoldersComeBackAndAreWrittenOnlyOnceThere) {
    TempDir dir;
    AppSettings s = DefaultSettings(kArea);
    ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
    EXPECT_EQ(ReadFileBytes(dir / "q.ini").find("[watch]"), std::string::npos);

    WatchedFolder music;
    music.folder = "/in/音楽";
    music.profile = "Music";
    music.outDir = "/out";
    music.keepTree = true;
    WatchedFolder voice;
    voice.folder = "/in/voice";
    s.watch.on = true;
    s.watch.folders = {music, voice};
    ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
    EXPECT_EQ(LoadSettings(dir / "q.ini", kArea).watch, s.watch);
    // Fewer folders later: the count says how many there are.
    s.watch.on = false;
    s.watch.folders = {voice};
    ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
    EXPECT_EQ(LoadSettings(dir / "q.ini", kArea).watch, s.watch);

    const auto odd = dir.write("odd.ini", "[watch]\non=1\ncount=3\nfolder1=/a\nfolder3=/c\nkeeptree3=x\n");
    const WatchSettings read = LoadWatchSettings(IniFile::Load(odd));
    ASSERT_EQ(read.folders.size(), 2u);
    EXPECT_EQ(read.folders[1].folder, "/c");
    EXPECT_FALSE(read.folders[1].keepTree);
}

TEST(AppSettings, TheFolderTreeIsKeptOnlyOnceTurnedOn) {
    TempDir dir;
    AppSettings s = DefaultSettings(kArea);
    EXPECT_FALSE(s.keeptree);
    ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
    EXPECT_EQ(ReadFileBytes(dir / "q.ini").find("keeptree"), std::string::npos);
    s.keeptree = true;
    ASSERT_TRUE(SaveSettings(dir / "q.ini", s, Window(false)));
    EXPECT_NE(ReadFileBytes(dir / "q.ini").find("keeptree=1\r\n"), std::string::npos);
    EXPECT_TRUE(LoadSettings(dir / "q.ini", kArea).keeptree);
}

TEST(AppSettings, ReadOnlyFileIsLeftUnchanged) {
    TempDir dir;
    const auto file = dir.write("q.ini", "[env]\nleft=3\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_FALSE(SaveSettings(file, DefaultSettings(kArea), Window(false)));
    EXPECT_EQ(ReadFileBytes(file), "[env]\nleft=3\n");
}

}  // namespace
}  // namespace qorvane
