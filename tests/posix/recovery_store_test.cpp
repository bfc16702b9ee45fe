// The recovery files of running copies: written whole, offered only once
// their copy is gone, removed by a normal end.
#include "platform/posix/recovery_store.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

#include "support/small_disk.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::SmallDisk;
using testing::TempDir;

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RecoveryStore, AFileIsOfferedOnlyOnceItsCopyIsGone) {
    TempDir dir;
    fs::path left;
    {
        RecoveryStore crashed(dir / "state");
        crashed.save("first");
        crashed.save("second");  // the latest text wins
        crashed.flush();
        left = crashed.ownFile();
        EXPECT_EQ(ReadFileBytes(left), "second");

        RecoveryStore other(dir / "state");  // a second copy running beside it
        EXPECT_TRUE(other.claimLeftovers().empty());
    }  // gone without a normal end: its file stays

    RecoveryStore next(dir / "state");
    const auto leftovers = next.claimLeftovers();
    ASSERT_EQ(leftovers.size(), 1u);
    EXPECT_EQ(leftovers[0].file, left);
    EXPECT_EQ(leftovers[0].text, "second");
    RecoveryStore third(dir / "state");
    EXPECT_TRUE(third.claimLeftovers().empty());  // held by the copy that claimed it
    next.discard(leftovers[0]);
    EXPECT_FALSE(fs::exists(left));
}

TEST(RecoveryStore, ACutShortWriteIsCleanedUpAndADamagedFileSetAside) {
    TempDir dir;
    // A copy killed while writing: its last whole file and a partial temporary one.
    dir.write("state/jobs-1-a.recovery", "whole");
    dir.write("state/jobs-1-a.recovery.tmp", "par");
    dir.write("state/jobs-2-b.recovery.tmp", "never finished");
    RecoveryStore store(dir / "state");
    const auto leftovers = store.claimLeftovers();
    ASSERT_EQ(leftovers.size(), 1u);
    EXPECT_EQ(leftovers[0].text, "whole");
    const fs::path aside = store.setAside(leftovers[0]);
    EXPECT_EQ(aside.filename(), "jobs-1-a.recovery.damaged");
    EXPECT_EQ(ReadFileBytes(aside), "whole");
    store.save("mine");
    store.flush();
    const std::string own = store.ownFile().stem().string();
    EXPECT_EQ(Names(dir / "state"),
              (std::vector<std::string>{"jobs-1-a.recovery.damaged", own + ".lock", own + ".recovery"}));
}

// What a start finds that is not a whole file of a copy that is gone: lone
// lock files go, a pipe or a link is set aside without being waited on.
TEST(RecoveryStore, StrayFilesNeitherPileUpNorHoldUpTheStart) {
    TempDir dir;
    dir.write("state/jobs-4-d.lock", "");
    fs::create_symlink("/dev/zero", dir / "state/jobs-5-e.recovery");
    ASSERT_EQ(::mkfifo((dir / "state/jobs-6-f.recovery").c_str(), 0600), 0);
    {
        RecoveryStore emptied(dir / "state");  // a copy whose list was empty at its end
        emptied.save("");
        emptied.flush();
    }
    RecoveryStore store(dir / "state");
    const auto leftovers = store.claimLeftovers();
    ASSERT_EQ(leftovers.size(), 2u);
    for (const auto& leftover : leftovers) store.setAside(leftover);
    const std::string own = store.ownFile().stem().string();
    std::vector<std::string> expected{"jobs-5-e.recovery.damaged", "jobs-6-f.recovery.damaged", own + ".lock"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir / "state"), expected);
}

// The rows taken over from a leftover are in one file or the other at every
// moment: with the state folder full, the leftover stays, and is offered
// again after a crash; it goes once this copy's own file has been written.
TEST(RecoveryStore, AnAdoptedLeftoverGoesOnlyOnceTheOwnFileIsWritten) {
    TempDir dir;
    SmallDisk disk(dir / "state", "64k");
    ASSERT_TRUE(disk.mounted()) << "mounting the small state folder needs root";
    {
        RecoveryStore crashed(dir / "state");
        crashed.save("three rows");
        crashed.flush();
    }
    disk.leaveFree(0);
    fs::path left;
    for (int start = 0; start < 2; ++start) {  // the first start is killed while the folder is full
        RecoveryStore next(dir / "state");
        auto leftovers = next.claimLeftovers();
        ASSERT_EQ(leftovers.size(), 1u) << start;
        EXPECT_EQ(leftovers[0].text, "three rows");
        left = leftovers[0].file;
        next.adopt(std::move(leftovers));
        next.save("three rows, kept here");
        next.flush();
        EXPECT_EQ(next.failedWrites(), 1u);
        EXPECT_EQ(ReadFileBytes(left), "three rows");
    }
    RecoveryStore next(dir / "state");
    auto leftovers = next.claimLeftovers();
    ASSERT_EQ(leftovers.size(), 1u);
    next.adopt(std::move(leftovers));
    disk.leaveFree(16 * 1024);
    next.save("three rows, kept here");
    next.flush();
    EXPECT_EQ(next.failedWrites(), 0u);
    EXPECT_FALSE(fs::exists(left));
    EXPECT_EQ(ReadFileBytes(next.ownFile()), "three rows, kept here");
}

TEST(RecoveryStore, ANormalEndLeavesNothingAndAnEmptyListRemovesTheFile) {
    TempDir dir;
    dir.write("state/jobs-1-a.recovery", "rows restored, then closed at once");
    RecoveryStore store(dir / "state");
    const auto leftovers = store.claimLeftovers();
    store.save("rows");
    store.flush();
    EXPECT_TRUE(fs::exists(store.ownFile()));
    store.save("");
    store.flush();
    EXPECT_FALSE(fs::exists(store.ownFile()));
    store.save("rows again");
    store.adopt(leftovers);  // a normal end lets its rows go with the list
    store.finish();
    EXPECT_TRUE(Names(dir / "state").empty());
    EXPECT_EQ(store.failedWrites(), 0u);
}

}  // namespace
}  // namespace qorvane
