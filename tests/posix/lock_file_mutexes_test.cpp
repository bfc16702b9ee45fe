#include "platform/posix/lock_file_mutexes.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::TempDir;

TEST(LockFileMutexes, NameExistsWhileSomeoneHoldsIt) {
    TempDir dir;
    LockFileMutexes mutexes(dir.path());
    EXPECT_FALSE(mutexes.exists("Ostrel_drux"));
    EXPECT_FALSE(std::filesystem::exists(mutexes.lockFile("Ostrel_drux")));  // asking creates nothing
    {
        auto first = mutexes.create("Ostrel_qorv");
        auto second = mutexes.create("Ostrel_qorv");  // a second copy is not refused
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        EXPECT_TRUE(mutexes.exists("Ostrel_qorv"));
        EXPECT_FALSE(mutexes.exists("Ostrel_drux"));
        first.reset();
        EXPECT_TRUE(mutexes.exists("Ostrel_qorv"));
    }
    EXPECT_FALSE(mutexes.exists("Ostrel_qorv"));  // the file stays, the lock does not
}

TEST(LockFileMutexes, HolderInAnotherProcessIsSeen) {
    TempDir dir;
    LockFileMutexes mutexes(dir.path());
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto held = LockFileMutexes(dir.path()).create("Ostrel_drux");
        char byte = held ? 'y' : 'n';
        (void)!::write(ready[1], &byte, 1);
        (void)!::read(release[0], &byte, 1);
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(byte, 'y');
    EXPECT_TRUE(mutexes.exists("Ostrel_drux"));
    (void)!::write(release[1], &byte, 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_FALSE(mutexes.exists("Ostrel_drux"));  // the lock ended with its process
    for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
}

TEST(LockFileMutexes, NamesWithSeparatorsStayInTheDirectory) {
    TempDir dir;
    LockFileMutexes mutexes(dir.path());
    EXPECT_EQ(mutexes.lockFile("Global\\a/b"), dir / "Global_a_b.lock");
    auto held = mutexes.create("Global\\a/b");
    EXPECT_TRUE(mutexes.exists("Global\\a/b"));
    EXPECT_EQ(mutexes.create(""), nullptr);
    EXPECT_EQ(LockFileMutexes(dir / "missing").create("x"), nullptr);
}

}  // namespace
}  // namespace qorvane
