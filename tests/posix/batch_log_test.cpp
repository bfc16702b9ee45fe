#include "platform/posix/batch_log.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::ReadFileBytes;
using testing::ScopedEnv;
using testing::TempDir;

TEST(BatchLog, DefaultPathFollowsTheEnvironment) {
    ScopedEnv home("HOME", "/home/someone");
    {
        ScopedEnv log("QORVANE_LOG", "/var/tmp/my.log");
        ScopedEnv state("XDG_STATE_HOME", "/state");
        EXPECT_EQ(DefaultBatchLogPath(), "/var/tmp/my.log");
    }
    ScopedEnv log("QORVANE_LOG", nullptr);
    {
        ScopedEnv state("XDG_STATE_HOME", "/state");
        EXPECT_EQ(DefaultBatchLogPath(), "/state/qorvane/encoder.log");
    }
    {
        ScopedEnv state("XDG_STATE_HOME", "relative/state");  // not absolute: ignored
        EXPECT_EQ(DefaultBatchLogPath(), "/home/someone/.local/state/qorvane/encoder.log");
    }
    ScopedEnv state("XDG_STATE_HOME", nullptr);
    EXPECT_EQ(DefaultBatchLogPath(), "/home/someone/.local/state/qorvane/encoder.log");
}

TEST(BatchLog, AppendingMakesTheDirectoryAndAddsEachRecordWhole) {
    TempDir dir;
    const auto path = dir / "a" / "b" / "encoder.log";
    AppendToBatchLog(path, "one\n");
    AppendToBatchLog(path, "two\nlines\n");
    EXPECT_EQ(ReadFileBytes(path), "one\ntwo\nlines\n");
}

TEST(BatchLog, AnOversizedLogIsMovedAsideBeforeTheNextRecord) {
    TempDir dir;
    const auto path = dir.write("encoder.log", "old");
    std::filesystem::resize_file(path, kBatchLogRotateBytes + 1);
    dir.write("encoder.log.1", "older");
    AppendToBatchLog(path, "new\n");
    EXPECT_EQ(ReadFileBytes(path), "new\n");
    EXPECT_EQ(std::filesystem::file_size(dir / "encoder.log.1"), kBatchLogRotateBytes + 1);
}

TEST(BatchLog, TimestampLineHasDateAndTime) {
    const auto line = LogTimestampLine();
    ASSERT_EQ(line.size(), std::string("==== 2024-05-01 12:34:56 ====\n").size()) << line;
    EXPECT_EQ(line.substr(0, 5), "==== ");
    EXPECT_EQ(line[9], '-');
    EXPECT_EQ(line[18], ':');
}

}  // namespace
}  // namespace qorvane
