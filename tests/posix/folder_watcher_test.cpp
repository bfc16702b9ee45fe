// The watchers on real folders: inotify (and polling) events as the watch
// rules read them, and the record file.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <thread>

#include "app/folder_watch.h"
#include "app/watch_files.h"
#include "platform/posix/inotify_folder_watcher.h"
#include "platform/posix/polling_folder_watcher.h"
#include "platform/posix/posix_directory_walk.h"
#include "platform/posix/posix_durable_text_file.h"
#include "support/temp_dir.h"

namespace qorvane::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Kind = FolderEvent::Kind;

// Collects events until `wanted` has come or two seconds have passed.
std::vector<FolderEvent> EventsUntil(FolderWatcher& watcher, const std::function<bool(const FolderEvent&)>& wanted) {
    std::vector<FolderEvent> all;
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (std::chrono::steady_clock::now() < end) {
        for (const FolderEvent& e : watcher.wait(100ms)) {
            all.push_back(e);
            if (wanted(e)) return all;
        }
    }
    return all;
}

bool Has(const std::vector<FolderEvent>& events, Kind kind, const fs::path& path) {
    return std::any_of(events.begin(), events.end(), [&](const FolderEvent& e) { return e.kind == kind && e.path == path; });
}

TEST(InotifyFolderWatcher, ReportsWritesMovesAndNewFoldersWithTheFilesAlreadyInThem) {
    TempDir dir;
    const fs::path in = dir / "in";
    fs::create_directories(in / ".hidden");
    InotifyFolderWatcher watcher;
    ASSERT_TRUE(watcher.watch(in));
    EXPECT_EQ(watcher.watchedFolders(), 1u);  // the hidden folder is left out

    dir.write("in/a.mp3", "x");
    auto events = EventsUntil(watcher, [&](const FolderEvent& e) { return e.path == in / "a.mp3"; });
    EXPECT_TRUE(Has(events, Kind::Written, in / "a.mp3"));

    // A tree made elsewhere and moved in: its files count as moved in.
    fs::create_directories(dir / "tree/sub");
    dir.write("tree/sub/b.mp3", "x");
    fs::rename(dir / "tree", in / "tree");
    events = EventsUntil(watcher, [&](const FolderEvent& e) { return e.path == in / "tree/sub/b.mp3"; });
    EXPECT_TRUE(Has(events, Kind::MovedIn, in / "tree/sub/b.mp3"));
    EXPECT_EQ(watcher.watchedFolders(), 3u);
    // ... and its new folders are watched.
    dir.write("in/tree/sub/c.mp3", "x");
    events = EventsUntil(watcher, [&](const FolderEvent& e) { return e.path == in / "tree/sub/c.mp3"; });
    EXPECT_TRUE(Has(events, Kind::Written, in / "tree/sub/c.mp3"));

    fs::rename(in / "tree", dir / "away");
    events = EventsUntil(watcher, [&](const FolderEvent& e) { return e.kind == Kind::Gone; });
    EXPECT_TRUE(Has(events, Kind::Gone, in / "tree"));
    EXPECT_EQ(watcher.watchedFolders(), 1u);

    dir.write("in/.hidden/d.mp3", "x");
    fs::remove_all(in);
    events = EventsUntil(watcher, [&](const FolderEvent& e) { return e.kind == Kind::RootGone; });
    EXPECT_TRUE(Has(events, Kind::RootGone, in));
    EXPECT_FALSE(Has(events, Kind::Written, in / ".hidden/d.mp3"));
    EXPECT_EQ(watcher.watchedFolders(), 0u);
    // Made again, it can be watched again.
    fs::create_directories(in);
    EXPECT_TRUE(watcher.watch(in));
}

TEST(InotifyFolderWatcher, AFolderReplacedUnderItsNameCountsAsGone) {
    TempDir dir;
    fs::create_directories(dir / "in");
    InotifyFolderWatcher watcher;
    ASSERT_TRUE(watcher.watch(dir / "in"));
    // Moved aside and another folder put in its place: the watch must not
    // stay on the old one silently.
    fs::rename(dir / "in", dir / "old");
    fs::create_directories(dir / "in");
    const auto events = EventsUntil(watcher, [](const FolderEvent& e) { return e.kind == Kind::RootGone; });
    EXPECT_TRUE(Has(events, Kind::RootGone, dir / "in"));
}

// The watch rules over real inotify: files created all at once.
TEST(FolderWatchOnInotify, AThousandFilesCreatedAtOnceAreEachTakenExactlyOnce) {
    TempDir dir;
    const fs::path in = dir / "in";
    fs::create_directories(in / "converted");
    InotifyFolderWatcher watcher;
    const PosixDirectoryWalk walk;
    PosixDurableTextFile recordFile(dir / "state/watched");
    WatchRecord record(recordFile);
    WatchedFolder folder;
    folder.folder = in.string();
    folder.outDir = (in / "converted").string();
    FolderWatch::Timing timing;
    timing.settle = 1s;
    FolderWatch watch({folder}, timing,
                      {watcher, record, WatchStampOf, WatchListingOf(walk), [](const std::string&) {},
                       [] { return FolderWatch::Clock::now(); }});
    std::map<fs::path, int> taken;  // by the loop's thread until it is joined
    std::atomic<std::size_t> handed{0};
    std::atomic<bool> stop{false};
    std::thread loop([&] {
        RunFolderWatch(
            watch, watcher, [&] { return stop.load(); },
            [&](std::vector<FolderWatch::Taken> files) {
                for (const auto& t : files) {
                    ++taken[t.file];
                    ++handed;
                    // Its output lands inside the watched folder.
                    std::ofstream(in / "converted" / t.file.filename()) << "out";
                    watch.runOver(t.file, true);
                }
            },
            50ms);
    });
    for (int i = 0; i < 1000; ++i) std::ofstream(in / ("f" + std::to_string(i) + ".mp3")) << i;
    for (int i = 0; i < 200 && handed < 1000; ++i) {
        std::this_thread::sleep_for(50ms);
    }
    std::this_thread::sleep_for(3s);
    stop = true;
    watcher.wake();
    loop.join();
    EXPECT_EQ(taken.size(), 1000u);
    EXPECT_TRUE(std::all_of(taken.begin(), taken.end(), [](const auto& t) { return t.second == 1; }));
    EXPECT_EQ(record.entries().size(), 1000u);
}

TEST(PollingFolderWatcher, ReportsNewChangedAndGoneFilesAndAFolderGone) {
    TempDir dir;
    const fs::path in = dir / "in";
    fs::create_directories(in / "sub");
    dir.write("in/old.mp3", "x");
    const PosixDirectoryWalk walk;
    PollingFolderWatcher watcher(100ms, WatchListingOf(walk));
    ASSERT_TRUE(watcher.watch(in));
    dir.write("in/sub/new.mp3", "x");
    dir.write("in/old.mp3", "longer");
    std::vector<FolderEvent> events;
    for (int i = 0; i < 5; ++i) {
        for (const FolderEvent& e : watcher.wait(100ms)) events.push_back(e);
    }
    EXPECT_TRUE(Has(events, Kind::Written, in / "sub/new.mp3"));
    EXPECT_TRUE(Has(events, Kind::Written, in / "old.mp3"));
    EXPECT_EQ(events.size(), 2u);
    fs::remove(in / "old.mp3");
    fs::rename(in, dir / "away");
    events = EventsUntil(watcher, [](const FolderEvent& e) { return e.kind == Kind::RootGone; });
    EXPECT_TRUE(Has(events, Kind::RootGone, in));
}

TEST(PosixDurableTextFile, AppendsAfterALineACrashCutShortAndReplacesWhole) {
    TempDir dir;
    PosixDurableTextFile file(dir / "state/deep/record");
    EXPECT_EQ(file.load(), "");
    EXPECT_TRUE(file.append("one\n"));
    std::ofstream(dir / "state/deep/record", std::ios::app) << "cut";
    EXPECT_TRUE(file.append("two\n"));
    EXPECT_EQ(file.load(), "one\ncut\ntwo\n");
    EXPECT_TRUE(file.replace("whole\n"));
    EXPECT_EQ(file.load(), "whole\n");
    EXPECT_FALSE(fs::exists(dir / "state/deep/record.tmp"));
}

}  // namespace
}  // namespace qorvane::testing
