#include "app/folder_watch.h"

#include <gtest/gtest.h>

#include <memory>

namespace qorvane {
namespace {

using namespace std::chrono_literals;
using Clock = FolderWatch::Clock;

// The file system, the clock and the watcher's events, all in memory.
struct FakeFiles {
    std::map<std::filesystem::path, WatchStamp> files;
    std::set<std::filesystem::path> folders;

    void put(const std::string& path, std::uintmax_t size, std::int64_t modified = 1) { files[path] = {size, modified}; }
    void list(const std::filesystem::path& folder, const std::function<void(const std::filesystem::path&)>& found) {
        for (const auto& [path, stamp] : files) {
            if (IsUnderFolder(path, folder)) found(path);
        }
    }
};

struct FakeWatcher : FolderWatcher {
    FakeFiles& fs;
    std::vector<std::filesystem::path> watched;
    explicit FakeWatcher(FakeFiles& files) : fs(files) {}
    bool watch(const std::filesystem::path& folder) override {
        if (!fs.folders.count(folder)) return false;
        watched.push_back(folder);
        return true;
    }
    void unwatch(const std::filesystem::path&) override {}
    std::vector<FolderEvent> wait(std::chrono::milliseconds) override { return {}; }
    void wake() override {}
};

struct FakeStore : DurableTextFile {
    std::string text;
    int replaced = 0;
    std::string load() override { return text; }
    bool append(std::string_view lines) override {
        text += lines;
        return true;
    }
    bool replace(std::string_view all) override {
        text = all;
        ++replaced;
        return true;
    }
};

class FolderWatchTest : public ::testing::Test {
protected:
    FolderWatchTest() { files.folders = {"/in"}; }

    // A watch as a start of the program makes it: the record read afresh.
    FolderWatch& startWatch(std::vector<WatchedFolder> folders = {}) {
        if (folders.empty()) {
            WatchedFolder in;
            in.folder = "/in";
            in.profile = "Music";
            in.outDir = "/in/converted";
            folders.push_back(in);
        }
        watch.reset();
        record = std::make_unique<WatchRecord>(store);
        watch = std::make_unique<FolderWatch>(
            std::move(folders), FolderWatch::Timing{},
            FolderWatch::Services{watcher, *record,
                                  [this](const std::filesystem::path& p) -> std::optional<WatchStamp> {
                                      const auto it = files.files.find(p);
                                      if (it == files.files.end()) return std::nullopt;
                                      return it->second;
                                  },
                                  [this](const auto& folder, const auto& found) { files.list(folder, found); },
                                  [this](const std::string& line) { said.push_back(line); },
                                  [this] { return now; }});
        watch->start();
        return *watch;
    }

    std::vector<std::string> takeAt(Clock::duration at) {
        now = Clock::time_point{} + at;
        std::vector<std::string> paths;
        for (const FolderWatch::Taken& t : watch->takeSettled()) paths.push_back(t.file.string());
        return paths;
    }

    void event(FolderEvent::Kind kind, const std::string& path) { watch->handle({{kind, path}}); }

    using Paths = std::vector<std::string>;
    FakeFiles files;
    FakeWatcher watcher{files};
    FakeStore store;
    std::unique_ptr<WatchRecord> record;
    std::unique_ptr<FolderWatch> watch;
    std::vector<std::string> said;
    Clock::time_point now{};
};

TEST_F(FolderWatchTest, TakesAFileOnceItHasStayedTheSameForTheSettleTime) {
    startWatch();
    files.put("/in/a.mp3", 100);
    now += 1s;
    event(FolderEvent::Kind::Written, "/in/a.mp3");
    EXPECT_EQ(watch->nextDue(), Clock::time_point{} + 6s);
    EXPECT_EQ(takeAt(5999ms), Paths{});
    // Written again (a copy in chunks): the wait starts over.
    files.put("/in/a.mp3", 200, 2);
    event(FolderEvent::Kind::Written, "/in/a.mp3");
    EXPECT_EQ(takeAt(10s), Paths{});
    // Grown without an event: seen at the end of the wait, which starts over.
    files.put("/in/a.mp3", 300, 3);
    EXPECT_EQ(takeAt(11s), Paths{});
    EXPECT_EQ(takeAt(15999ms), Paths{});
    EXPECT_EQ(takeAt(16s), Paths{"/in/a.mp3"});
    // Once per version, also while its conversion goes on.
    event(FolderEvent::Kind::Written, "/in/a.mp3");
    EXPECT_EQ(takeAt(30s), Paths{});
    EXPECT_EQ(watch->going(), 1u);
}

TEST_F(FolderWatchTest, HandsOverTheWatchProfileAndTheOutputFolderWithTheTreeKeptOrNot) {
    files.folders.insert("/music");
    WatchedFolder flat;
    flat.folder = "/in";
    flat.profile = "Voice";
    flat.outDir = "/out";
    WatchedFolder kept;
    kept.folder = "/music/";
    kept.profile = "Music";
    kept.outDir = "/wma";
    kept.keepTree = true;
    startWatch({flat, kept});
    files.put("/in/sub/a.wav", 1);
    files.put("/music/アーティスト/2 アルバム/01.flac", 1);
    event(FolderEvent::Kind::MovedIn, "/in/sub/a.wav");
    event(FolderEvent::Kind::Written, "/music/アーティスト/2 アルバム/01.flac");
    now += 5s;
    const std::vector<FolderWatch::Taken> taken = watch->takeSettled();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].profile, "Voice");
    EXPECT_EQ(taken[0].outDir, "/out");
    EXPECT_EQ(taken[1].profile, "Music");
    EXPECT_EQ(taken[1].outDir, "/wma/アーティスト/2 アルバム");
}

TEST_F(FolderWatchTest, NeverTakesUnfinishedHiddenOrOutputFilesButTakesThemRenamed) {
    startWatch();
    for (const char* name : {"/in/a.mp3.part", "/in/b.crdownload", "/in/c.mp3.tmp", "/in/d.PARTIAL", "/in/~e.mp3",
                             "/in/.f.mp3", "/in/.cache/g.mp3", "/in/h.txt", "/in/converted/i.wma",
                             "/in/converted/deep/j.wma"}) {
        files.put(name, 1);
        event(FolderEvent::Kind::Written, name);
    }
    EXPECT_EQ(takeAt(10s), Paths{});
    // A finished download gets its name by a rename.
    files.files.erase("/in/a.mp3.part");
    files.put("/in/a.mp3", 1);
    event(FolderEvent::Kind::Gone, "/in/a.mp3.part");
    event(FolderEvent::Kind::MovedIn, "/in/a.mp3");
    EXPECT_EQ(takeAt(15s), Paths{"/in/a.mp3"});
    EXPECT_EQ(takeAt(120s), Paths{});  // the rescan finds nothing more
}

TEST_F(FolderWatchTest, AFileGoneBeforeItSettledIsNotTaken) {
    startWatch();
    files.put("/in/sub/a.mp3", 1);
    files.put("/in/b.mp3", 1);
    event(FolderEvent::Kind::Written, "/in/sub/a.mp3");
    event(FolderEvent::Kind::Written, "/in/b.mp3");
    files.files.clear();
    event(FolderEvent::Kind::Gone, "/in/sub");  // a folder moved away
    EXPECT_EQ(watch->waiting(), 1u);
    EXPECT_EQ(takeAt(5s), Paths{});  // b.mp3 went without an event
    EXPECT_EQ(watch->waiting(), 0u);
}

TEST_F(FolderWatchTest, TheRecordKeepsARestartFromTakingAnythingTwice) {
    files.put("/in/done.mp3", 10);
    files.put("/in/bad.mp3", 20);
    files.put("/in/left.mp3", 30);
    startWatch();  // at start, what is there is taken
    EXPECT_EQ(takeAt(5s), (Paths{"/in/bad.mp3", "/in/done.mp3", "/in/left.mp3"}));
    watch->runOver("/in/done.mp3", true);
    watch->runOver("/in/bad.mp3", false);
    // The output written into the watched folder beside its input.
    files.put("/in/done.wma", 5);
    watch->wrote("/in/done.wma");
    event(FolderEvent::Kind::MovedIn, "/in/done.wma");
    EXPECT_EQ(takeAt(20s), Paths{});

    // A restart: left.mp3 never got an outcome, so it is taken again.
    startWatch();
    EXPECT_EQ(takeAt(30s), Paths{"/in/left.mp3"});
    // A new version of each file is taken, the failed one included.
    files.put("/in/done.mp3", 11);
    files.put("/in/bad.mp3", 20, 7);
    files.put("/in/done.wma", 6);
    startWatch();
    EXPECT_EQ(takeAt(40s), (Paths{"/in/bad.mp3", "/in/done.mp3", "/in/done.wma", "/in/left.mp3"}));
}

TEST_F(FolderWatchTest, ALaterFailedRunOfTheSameJobMakesTheFileFailed) {
    files.put("/in/clip.avi", 10);
    startWatch();
    EXPECT_EQ(takeAt(5s), Paths{"/in/clip.avi"});
    watch->runOver("/in/clip.avi", true);
    watch->runOver("/in/clip.avi", false);
    ASSERT_NE(record->find("/in/clip.avi"), nullptr);
    EXPECT_EQ(record->find("/in/clip.avi")->outcome, WatchOutcome::Failed);
}

TEST_F(FolderWatchTest, AFolderThatWentAwayIsSaidOnceAndWatchedAgainWhenBack) {
    startWatch();
    files.put("/in/a.mp3", 1);
    event(FolderEvent::Kind::Written, "/in/a.mp3");
    files.folders.clear();
    files.files.clear();
    event(FolderEvent::Kind::RootGone, "/in");
    event(FolderEvent::Kind::RootGone, "/in");
    EXPECT_EQ(takeAt(10s), Paths{});
    EXPECT_EQ(said.size(), 1u);
    EXPECT_LE(watch->nextDue(), now + 2s);
    // Back, with a file that came meanwhile.
    files.folders.insert("/in");
    files.put("/in/b.mp3", 1);
    EXPECT_EQ(takeAt(12s), Paths{});
    EXPECT_EQ(watcher.watched.size(), 2u);
    EXPECT_EQ(said.size(), 2u);
    EXPECT_EQ(takeAt(17s), Paths{"/in/b.mp3"});
}

TEST_F(FolderWatchTest, LostEventsAndUnwatchedFoldersAreSaidOnceAndRescanned) {
    startWatch();
    files.put("/in/a.mp3", 1);  // its event was lost
    event(FolderEvent::Kind::Missed, "");
    event(FolderEvent::Kind::Missed, "");
    event(FolderEvent::Kind::Unwatched, "/in/x");
    event(FolderEvent::Kind::Unwatched, "/in/y");
    EXPECT_EQ(said.size(), 2u);
    EXPECT_EQ(watch->nextDue(), now);
    EXPECT_EQ(takeAt(1s), Paths{});
    EXPECT_EQ(takeAt(6s), Paths{"/in/a.mp3"});
    // Without a loss, a file the watcher never told of waits for the rescan.
    files.put("/in/b.mp3", 1);
    EXPECT_EQ(takeAt(59s), Paths{});
    EXPECT_EQ(takeAt(61s), Paths{});
    EXPECT_EQ(takeAt(66s), Paths{"/in/b.mp3"});
}

TEST(WatchRules, NamesOfUnfinishedAndHiddenFilesAreNeverTaken) {
    for (const char* name : {"a.mp3.part", "a.CRDOWNLOAD", "a.tmp", "a.partial", "~a.mp3", ".a.mp3", ""}) {
        EXPECT_TRUE(IsNeverTakenName(name)) << name;
    }
    for (const char* name : {"a.mp3", "part.mp3", "a~.mp3", "a.tmp.mp3", "曲.flac"}) {
        EXPECT_FALSE(IsNeverTakenName(name)) << name;
    }
    EXPECT_TRUE(IsUnderFolder("/in/a/b.mp3", "/in/"));
    EXPECT_FALSE(IsUnderFolder("/input/b.mp3", "/in"));
}

TEST(WatchRecord, ReadsBackWhatItWroteAndSkipsALineCutShort) {
    FakeStore store;
    {
        WatchRecord record(store);
        record.note("/in/a.mp3", {10, 123456789012345}, WatchOutcome::Encoded);
        record.note("/in/line\nbreak\\.mp3", {1, -5}, WatchOutcome::Failed);
        record.note("/in/a.mp3", {11, 1}, WatchOutcome::Written);
    }
    store.text += "garbage line\nencoded 1 2\nencoded x 2 /in/c.mp3\nencoded 5 6 /in/cut";
    WatchRecord record(store);
    EXPECT_EQ(record.entries().size(), 2u);
    EXPECT_TRUE(record.holds("/in/a.mp3", {11, 1}));
    EXPECT_FALSE(record.holds("/in/a.mp3", {10, 123456789012345}));
    ASSERT_NE(record.find("/in/line\nbreak\\.mp3"), nullptr);
    EXPECT_EQ(*record.find("/in/line\nbreak\\.mp3"), (WatchRecordEntry{{1, -5}, WatchOutcome::Failed}));
    EXPECT_EQ(record.find("/in/cut"), nullptr);
    EXPECT_EQ(store.replaced, 0);
}

TEST(WatchRecord, IsRewrittenWithoutReplacedLinesWhenTheyAreMostOfIt) {
    FakeStore store;
    {
        WatchRecord record(store);
        for (int i = 0; i < 1100; ++i) record.note("/in/a.mp3", {static_cast<std::uintmax_t>(i), 0}, WatchOutcome::Encoded);
    }
    WatchRecord record(store);
    EXPECT_EQ(store.replaced, 1);
    EXPECT_TRUE(record.holds("/in/a.mp3", {1099, 0}));
    EXPECT_EQ(WatchRecord::Parse(store.text).size(), 1u);
    EXPECT_LT(store.text.size(), 100u);
}

}  // namespace
}  // namespace qorvane
