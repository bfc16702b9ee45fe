#include "platform/posix/batch_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

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

// What of `captured` goes to the log.
std::string Tail(const TempDir& dir, const std::string& captured, std::size_t limit) {
    const auto source = dir.write("captured", captured);
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    std::string tail = CapturedOutputTail(in, limit);
    ::close(in);
    return tail;
}

TEST(BatchLog, CapturedOutputWithinTheLimitIsKeptWhole) {
    TempDir dir;
    EXPECT_EQ(Tail(dir, "one\ntwo\n", 8), "one\ntwo\n");
    EXPECT_EQ(Tail(dir, "no line break", 100), "no line break\n");
    EXPECT_EQ(Tail(dir, "", 100), "");
}

TEST(BatchLog, LongOutputKeepsItsLastWholeLines) {
    TempDir dir;
    // The cut falls on a line start: that line is kept.
    EXPECT_EQ(Tail(dir, "aaaa\nbbbb\ncccc\n", 10),
              "[... 5 bytes of earlier output left out ...]\nbbbb\ncccc\n");
    // The cut falls inside a line: the rest of that line goes too.
    EXPECT_EQ(Tail(dir, "aaaa\nbbbb\ncccc\n", 8),
              "[... 10 bytes of earlier output left out ...]\ncccc\n");
    // One line longer than the limit: its end is kept.
    EXPECT_EQ(Tail(dir, "0123456789", 4), "[... 6 bytes of earlier output left out ...]\n6789\n");
    // Progress lines ending in a carriage return are one long line.
    EXPECT_EQ(Tail(dir, "x\n1%\r2%\r3%\r", 9), "[... 2 bytes of earlier output left out ...]\n1%\r2%\r3%\r\n");
}

TEST(BatchLog, OpeningMakesTheDirectoryAndAppends) {
    TempDir dir;
    const auto path = dir / "a" / "b" / "encoder.log";
    for (const char* text : {"one\n", "two\n"}) {
        const int fd = OpenBatchLog(path);
        ASSERT_GE(fd, 0);
        AppendToLog(fd, text);
        ::close(fd);
    }
    EXPECT_EQ(ReadFileBytes(path), "one\ntwo\n");
}

TEST(BatchLog, AnOversizedLogIsMovedAsideBeforeTheNextRun) {
    TempDir dir;
    const auto path = dir.write("encoder.log", "old");
    std::filesystem::resize_file(path, kBatchLogRotateBytes + 1);
    dir.write("encoder.log.1", "older");
    const int fd = OpenBatchLog(path);
    ASSERT_GE(fd, 0);
    AppendToLog(fd, "new\n");
    ::close(fd);
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
