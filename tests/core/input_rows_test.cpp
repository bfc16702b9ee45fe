#include "app/input_rows.h"

#include <gtest/gtest.h>

#include "platform/file_open_error.h"
#include "support/fake_directory_walk.h"

namespace qorvane {
namespace {

using testing::FakeDirectoryWalk;

class InputRows : public ::testing::Test {
protected:
    InputRows() {
        walk.folder("/in");
        walk.folder("/in/Artist");
        walk.folder("/in/Artist/Album");
        for (int i = 1; i <= 5; ++i) walk.file("/in/Artist/Album/" + std::to_string(i) + ".flac");
        walk.file("/in/top.mp3");
    }

    InputRowsSummary make(const InputRowsRequest& request, const std::function<bool()>& stopped = {}) {
        InputRowsPacing pacing;
        pacing.batchRows = 2;
        pacing.batchTime = std::chrono::hours(1);
        return MakeInputRows(walk, readTags, request,
                             [this](std::vector<EncodeJob> batch) { batches.push_back(std::move(batch)); },
                             stopped, pacing);
    }

    std::vector<std::string> outDirs() const {
        std::vector<std::string> dirs;
        for (const auto& batch : batches) {
            for (const EncodeJob& job : batch) dirs.push_back(job.OutDir);
        }
        return dirs;
    }

    FakeDirectoryWalk walk;
    TagReader readTags = [](const std::filesystem::path& path) -> std::optional<JobTags> {
        if (path.filename() == "4.flac") throw FileOpenError(path.string());
        JobTags tags;
        tags.Title = path.stem().string();
        return tags;
    };
    std::vector<std::vector<EncodeJob>> batches;
};

TEST_F(InputRows, RowsComeInBatchesWithTheTreeKeptBelowTheOutputFolder) {
    InputRowsRequest request;
    request.paths = {"/x.mp3", "/in", "/notes.txt"};
    request.profile = "Temporary";
    request.outDir = "/out";
    request.keepTree = true;
    walk.file("/x.mp3");
    walk.unreadable("/in/Artist/Album");
    const InputRowsSummary summary = make(request);

    ASSERT_EQ(batches.size(), 1u);  // "/x.mp3" and "/in/top.mp3", then nothing more was readable
    EXPECT_EQ(batches[0][0].Title, "x");
    EXPECT_EQ(batches[0][1].Profile, "Temporary");
    EXPECT_EQ(outDirs(), (std::vector<std::string>{"/out", "/out"}));
    EXPECT_EQ(summary.rows, 2u);
    EXPECT_EQ(summary.refused, (std::vector<std::string>{"/notes.txt"}));
    EXPECT_EQ(summary.unreadableFolders, (std::vector<std::string>{"/in/Artist/Album"}));
}

TEST_F(InputRows, AFileThatCannotBeOpenedKeepsItsRowAndEndsTheAdding) {
    InputRowsRequest request;
    request.paths = {"/in/Artist", "/in"};
    request.outDir = "/out";
    request.keepTree = true;
    const InputRowsSummary summary = make(request);
    EXPECT_EQ(outDirs(), (std::vector<std::string>(4, "/out/Album")));
    EXPECT_EQ(batches.back().back().Title, "");  // 4.flac, with empty tags
    EXPECT_EQ(summary.openError, FileOpenError("/in/Artist/Album/4.flac").what());
    EXPECT_FALSE(summary.stopped);
}

TEST_F(InputRows, StopsWhenCancelledAndKeepsWhatWasDelivered) {
    InputRowsRequest request;
    request.paths = {"/in/top.mp3", "/in/Artist"};
    int asked = 0;
    const InputRowsSummary summary = make(request, [&asked] { return ++asked > 6; });
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.rows, 2u);
    EXPECT_EQ(outDirs(), (std::vector<std::string>{"", ""}));  // no tree kept, no output folder
}

}  // namespace
}  // namespace qorvane
