#include "platform/posix/posix_directory_walk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "app/folder_listing.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::vector<std::string> Paths(const ListedInputs& listed, const fs::path& root) {
    std::vector<std::string> paths;
    for (const FoundInput& f : listed.files) paths.push_back(fs::path(f.path).lexically_relative(root).string());
    return paths;
}

TEST(PosixDirectoryWalk, ListsATreeWithLinksHiddenEntriesAndALoop) {
    TempDir tmp;
    tmp.write("in/Album/Track 10.mp3", "x");
    tmp.write("in/Album/Track 2.mp3", "x");
    tmp.write("in/.hidden/a.mp3", "x");
    tmp.write("in/.b.mp3", "x");
    tmp.write("in/notes.txt", "x");
    tmp.write("elsewhere/e.flac", "x");
    fs::create_directory_symlink(tmp / "in", tmp / "in/Album/loop");
    fs::create_directory_symlink(tmp / "elsewhere", tmp / "in/linked");
    fs::create_symlink(tmp / "in/Album/Track 2.mp3", tmp / "in/z.mp3");
    fs::create_symlink(tmp / "missing", tmp / "in/dangling.mp3");
    ::mkfifo((tmp / "in/pipe.mp3").c_str(), 0600);

    const PosixDirectoryWalk walk;
    EXPECT_EQ(walk.kind(tmp / "in/linked"), DirectoryWalk::Kind::Folder);
    EXPECT_EQ(walk.kind(tmp / "in/z.mp3"), DirectoryWalk::Kind::File);
    EXPECT_EQ(walk.kind(tmp / "in/dangling.mp3"), DirectoryWalk::Kind::Other);
    const ListedInputs listed = ListInputs(walk, {(tmp / "in").string()});
    EXPECT_EQ(Paths(listed, tmp / "in"),
              (std::vector<std::string>{"Album/Track 2.mp3", "Album/Track 10.mp3", "linked/e.flac", "z.mp3"}));
    EXPECT_TRUE(listed.unreadableFolders.empty());
}

// Runs `check` as a user the permission bits apply to: root reads any
// folder, so as root it runs in a child that has become "nobody" (the
// temporary folder opened to it).
void AsOrdinaryUser(const fs::path& tmp, const std::function<bool()>& check) {
    if (::geteuid() != 0) {
        EXPECT_TRUE(check());
        return;
    }
    ::chmod(tmp.c_str(), 0755);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 && check();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the listing as nobody was not as expected";
}

TEST(PosixDirectoryWalk, AFolderThatCannotBeReadIsReportedAndTheRestListed) {
    TempDir tmp;
    tmp.write("in/a/1.mp3", "x");
    tmp.write("in/locked/2.mp3", "x");
    tmp.write("in/z.mp3", "x");
    ::chmod((tmp / "in/locked").c_str(), 0);
    const fs::path in = tmp / "in";
    AsOrdinaryUser(tmp.path(), [&in] {
        const ListedInputs listed = ListInputs(PosixDirectoryWalk(), {in.string()});
        return Paths(listed, in) == std::vector<std::string>{"a/1.mp3", "z.mp3"} &&
               listed.unreadableFolders == std::vector<std::string>{(in / "locked").string()};
    });
    ::chmod((tmp / "in/locked").c_str(), 0700);  // so that the folder can be removed
}

}  // namespace
}  // namespace qorvane
