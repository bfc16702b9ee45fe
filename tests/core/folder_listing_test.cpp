#include "app/folder_listing.h"

#include <gtest/gtest.h>

#include "support/fake_directory_walk.h"

namespace qorvane {
namespace {

using testing::FakeDirectoryWalk;

std::vector<std::string> Paths(const std::vector<FoundInput>& files) {
    std::vector<std::string> paths;
    for (const FoundInput& f : files) paths.push_back(f.path);
    return paths;
}

TEST(ListInputs, AcceptedFilesInNaturalOrderWithFoldersAmongFiles) {
    FakeDirectoryWalk walk;
    walk.folder("/in");
    walk.folder("/in/Disc 10");
    walk.folder("/in/Disc 2");
    walk.folder("/in/アルバム");
    walk.file("/in/Disc 10/01.flac");
    walk.file("/in/Disc 2/Track 10.mp3");
    walk.file("/in/Disc 2/Track 2.mp3");
    walk.file("/in/Disc 2/cover.jpg");  // not a kind the program converts: left out silently
    walk.file("/in/Disc 3.wav");
    walk.file("/in/アルバム/第１０曲.m4a");
    walk.file("/in/アルバム/第2曲.m4a");
    walk.file("/single.ogg");

    const ListedInputs listed = ListInputs(walk, {"/single.ogg", "/in", "/nowhere/x.mp3", "/notes.txt"});
    EXPECT_EQ(Paths(listed.files),
              (std::vector<std::string>{"/single.ogg", "/in/Disc 2/Track 2.mp3", "/in/Disc 2/Track 10.mp3",
                                        "/in/Disc 3.wav", "/in/Disc 10/01.flac", "/in/アルバム/第2曲.m4a",
                                        "/in/アルバム/第１０曲.m4a", "/nowhere/x.mp3", "/notes.txt"}));
    // Named files keep no folder; found ones remember the folder named.
    EXPECT_EQ(listed.files[0].addedFolder, "");
    EXPECT_EQ(listed.files[1].addedFolder, "/in");
    EXPECT_TRUE(listed.unreadableFolders.empty());
    // Only named files can be refused: what a folder holds of other kinds is no news.
    EXPECT_EQ(RefusedNamedFiles(listed.files), (std::vector<std::string>{"/notes.txt"}));
}

TEST(ListInputs, SkipsHiddenEntriesAndFollowsLinksButNeverAFolderTwice) {
    FakeDirectoryWalk walk;
    walk.folder("/in");
    walk.folder("/in/.cache");
    walk.file("/in/.cache/a.mp3");
    walk.file("/in/.hidden.mp3");
    walk.folder("/in/a");
    walk.file("/in/a/1.mp3");
    walk.link("/in/a/back", "/in");    // a loop
    walk.link("/in/b", "/in/a");       // a second name of a folder already listed
    walk.folder("/shared");
    walk.file("/shared/s.mp3");
    walk.link("/in/c", "/shared");     // a link out of the tree: followed

    const ListedInputs listed = ListInputs(walk, {"/in/"});
    EXPECT_EQ(Paths(listed.files), (std::vector<std::string>{"/in/a/1.mp3", "/in/c/s.mp3"}));
    EXPECT_EQ(listed.files[1].addedFolder, "/in/");
}

TEST(ListInputs, AnUnreadableFolderIsReportedOnceAndTheRestListed) {
    FakeDirectoryWalk walk;
    walk.folder("/in");
    walk.folder("/in/a");
    walk.folder("/in/locked");
    walk.file("/in/a/1.mp3");
    walk.file("/in/locked/2.mp3");
    walk.file("/in/z.mp3");
    walk.unreadable("/in/locked");
    walk.folder("/gone");
    walk.unreadable("/gone");

    const ListedInputs listed = ListInputs(walk, {"/in", "/gone"});
    EXPECT_EQ(Paths(listed.files), (std::vector<std::string>{"/in/a/1.mp3", "/in/z.mp3"}));
    EXPECT_EQ(listed.unreadableFolders, (std::vector<std::string>{"/in/locked", "/gone"}));
}

TEST(ListInputs, StopsWhenTheSinkSaysSo) {
    FakeDirectoryWalk walk;
    walk.folder("/in");
    for (int i = 1; i <= 5; ++i) walk.file("/in/" + std::to_string(i) + ".mp3");
    struct FirstTwo final : FolderListingSink {
        std::vector<std::string> paths;
        void found(FoundInput input) override { paths.push_back(input.path); }
        void unreadableFolder(const std::string&) override {}
        bool stopped() const override { return paths.size() >= 2; }
    } sink;
    ListInputs(walk, {"/in", "/other.mp3"}, sink);
    EXPECT_EQ(sink.paths, (std::vector<std::string>{"/in/1.mp3", "/in/2.mp3"}));
}

}  // namespace
}  // namespace qorvane
