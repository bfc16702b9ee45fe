#include "app/list_facts.h"

#include <gtest/gtest.h>

#include <map>

#include "app/facts_text.h"
#include "app/space_check.h"

namespace qorvane {
namespace {

EncodeJob Row(const std::string& path, const std::string& profile = "CBR", const std::string& outDir = "/out") {
    EncodeJob job;
    job.File = path.substr(path.rfind('/') + 1);
    job.Path = path;
    job.Profile = profile;
    job.OutDir = outDir;
    return job;
}

MediaFacts Song(double seconds) {
    MediaFacts f;
    f.duration = seconds;
    f.audio = AudioFacts{"MP3", 44100, 2, 192};
    return f;
}

// "CBR": 128 kbps; "Quality": quality-based VBR sound, size unknown.
class ListFactsTest : public ::testing::Test {
protected:
    ListFacts facts{[this](const std::string& name) {
        ++loads[name];
        ProfileSettings s;
        s.AudioMode = name == "Quality" ? 3 : 1;
        s.AudioSetting = name == "Quality" ? 3 : 17;
        return PrepareEncodingProfile(s);
    }};
    std::map<std::string, int> loads;
    JobList list;
};

TEST_F(ListFactsTest, EachSourceIsAskedForOnceAndRowsOfOneFileShareItsFacts) {
    list.append(Row("/m/a.mp3"));
    list.append(Row("/m/b.mp3"));
    list.append(Row("/m/a.mp3"));
    EXPECT_EQ(facts.takeUnread(list, 0, 99), (std::vector<std::string>{"/m/a.mp3", "/m/b.mp3"}));
    EXPECT_TRUE(facts.takeUnread(list, 0, 2).empty());
    EXPECT_TRUE(facts.reading("/m/a.mp3"));
    EXPECT_EQ(facts.size(list[0]), std::nullopt);

    facts.store("/m/a.mp3", Song(60));
    facts.store("/m/b.mp3", std::nullopt);  // its headers made no sense
    EXPECT_FALSE(facts.reading("/m/b.mp3"));
    EXPECT_EQ(facts.facts("/m/b.mp3"), nullptr);
    ASSERT_NE(facts.facts("/m/a.mp3"), nullptr);
    EXPECT_EQ(facts.size(list[2])->bytes, facts.size(list[0])->bytes);
}

TEST_F(ListFactsTest, TotalsCountTheKnownAndTheUnknownAndFollowTheRowsProfiles) {
    list.append(Row("/m/a.mp3"));
    list.append(Row("/m/b.mp3"));
    list.append(Row("/m/c.mp3"));
    (void)facts.takeUnread(list, 0, 2);
    facts.store("/m/a.mp3", Song(60));
    facts.store("/m/b.mp3", Song(30));
    ListTotals t = facts.totals(list);
    EXPECT_EQ(t.rows, 3u);
    EXPECT_EQ(t.knownBytes, 960400u + 480400u);
    EXPECT_EQ(t.unknown, 1u);
    EXPECT_EQ(t.reading, 1u);
    EXPECT_DOUBLE_EQ(t.seconds, 90);

    list.setField(1, JobField::Profile, "Quality");
    t = facts.totals(list);
    EXPECT_EQ(t.knownBytes, 960400u);
    EXPECT_EQ(t.unknown, 2u);
    EXPECT_DOUBLE_EQ(t.seconds, 90);  // the length stays, whatever the profile

    // Profiles are read once until told to read them again.
    EXPECT_EQ(loads["CBR"], 1);
    facts.reloadProfiles();
    (void)facts.totals(list);
    EXPECT_EQ(loads["CBR"], 2);
}

// File systems by the folder's first component: "/a/..." on 1, "/b/..." on 2.
class FakeFreeSpace final : public FreeSpace {
public:
    std::map<std::string, std::uint64_t> available;
    std::optional<Space> space(const std::filesystem::path& folder) const override {
        const std::string top = folder.begin() == folder.end() ? "" : std::next(folder.begin())->string();
        const auto found = available.find(top);
        if (found == available.end()) return std::nullopt;
        return Space{static_cast<std::uint64_t>(top[0]), found->second};
    }
};

class AnsweringBoxes final : public MessageBoxes {
public:
    bool answer = false;
    std::vector<std::string> asked;
    void warning(const std::string&, const std::string&) override {}
    bool question(const std::string& caption, const std::string& text) override {
        asked.push_back(caption + ": " + text);
        return answer;
    }
};

TEST(SpaceCheck, NeedsAreSummedPerFileSystemAgainstItsRoomLessOnePercent) {
    FakeFreeSpace space;
    space.available = {{"a", 100000}, {"b", 100000}};
    // 60 000 + 39 000 on /a: 99 000 > 99 000? No: exactly the room less 1 %.
    const std::vector<SpaceNeed> fits{{"/a/one", 60000}, {"/a/two", 39000}, {"/b", 5}, {"/c", 1u << 30}};
    EXPECT_TRUE(FindSpaceShortfalls(fits, space).empty());  // /c cannot be looked at: passed over
    const std::vector<SpaceNeed> over{{"/b/x", 1}, {"/a/one", 60000}, {"/a/two", 39001}};
    const auto shortfalls = FindSpaceShortfalls(over, space);
    ASSERT_EQ(shortfalls.size(), 1u);
    EXPECT_EQ(shortfalls[0].folder, "/a/one");
    EXPECT_EQ(shortfalls[0].needed, 99001u);
    EXPECT_EQ(shortfalls[0].available, 100000u);
}

TEST_F(ListFactsTest, TheConvertCheckAsksWithTheFiguresOfTheFirstShortFileSystem) {
    list.append(Row("/m/a.mp3", "CBR", "/a/out"));
    list.append(Row("/m/b.mp3", "Quality", "/a/out"));  // unknown: not counted
    list.append(Row("/m/c.mp3", "CBR", "/b/out"));
    (void)facts.takeUnread(list, 0, 2);
    for (const char* path : {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"}) facts.store(path, Song(3600));
    const auto needs = SpaceNeedsOf(list, facts);
    ASSERT_EQ(needs.size(), 2u);
    EXPECT_EQ(needs[0].bytes, 57600400u);

    FakeFreeSpace space;
    space.available = {{"a", 50u << 20}, {"b", 1u << 30}};
    AnsweringBoxes boxes;
    EXPECT_FALSE(ConfirmSpaceForBatch(list, facts, space, boxes));
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0], "qorv: 空き容量が足りない可能性があります（必要 約 55 MB、空き 50 MB）。変換を始めますか？");
    boxes.answer = true;
    EXPECT_TRUE(ConfirmSpaceForBatch(list, facts, space, boxes));
    space.available["a"] = 1u << 30;
    EXPECT_TRUE(ConfirmSpaceForBatch(list, facts, space, boxes));
    EXPECT_EQ(boxes.asked.size(), 2u);  // nothing asked when everything fits
}

TEST(FactsText, LengthsFormatsAndSizes) {
    EXPECT_EQ(FormatDuration(0), "0:00");
    EXPECT_EQ(FormatDuration(59.6), "1:00");
    EXPECT_EQ(FormatDuration(3599.4), "59:59");
    EXPECT_EQ(FormatDuration(3600), "1:00:00");
    EXPECT_EQ(FormatDuration(36061), "10:01:01");

    MediaFacts song;
    song.audio = AudioFacts{"FLAC", 44100, 2, 0};
    EXPECT_EQ(FormatMediaFacts(song), "FLAC 44.1kHz 2ch");
    song.audio = AudioFacts{"", 48000, 0, 0};
    EXPECT_EQ(FormatMediaFacts(song), "48kHz");
    MediaFacts clip;
    clip.kind = MediaKind::Video;
    clip.video = VideoFacts{"H.264", 1280, 720, 30000.0 / 1001};
    EXPECT_EQ(FormatMediaFacts(clip), "H.264 1280x720 29.97fps");
    clip.audio = AudioFacts{"AAC", 22050, 1, 64};
    EXPECT_EQ(FormatMediaFacts(clip), "H.264 1280x720 29.97fps, AAC 22.05kHz 1ch");

    EXPECT_EQ(FormatByteSize(0), "0 B");
    EXPECT_EQ(FormatByteSize(1023), "1023 B");
    EXPECT_EQ(FormatByteSize(1024), "1.0 KB");
    EXPECT_EQ(FormatByteSize(10 * 1024 - 52), "9.9 KB");
    EXPECT_EQ(FormatByteSize(10 * 1024 - 51), "10 KB");
    EXPECT_EQ(FormatByteSize(1024 * 1024 - 400), "1.0 MB");  // never "1024 KB"
    EXPECT_EQ(FormatByteSize(1288490188), "1.2 GB");
}

}  // namespace
}  // namespace qorvane
