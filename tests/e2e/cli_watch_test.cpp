// `qorvane-cli watch` from the outside: real inotify (or polling) on a
// temporary folder, files arriving as programs deliver them, the stand-in
// encoder converting them.

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/media_probe.h"
#include "support/media_tools.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace qorvane::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

Lines LinesStartingWith(const std::string& text, const std::string& head) {
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) break;  // a line still being written
        const std::string line = text.substr(start, end - start);
        if (line.starts_with(head)) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// True when the process holds an inotify instance.
bool UsesInotify(pid_t pid) {
    const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fds, ec)) {
        std::error_code linkError;
        if (fs::read_symlink(entry.path(), linkError).string() == "anon_inode:inotify") return true;
    }
    return false;
}

class CliWatch : public ::testing::Test {
protected:
    CliWatch() {
        registry_ = dir_.write("registry.ini", std::string("[software\\Microsoft\\Windows Media\\Encoder]\n") +
                                                   "InstallDir=" + QORVANE_ENCODER_DIR + "/\n" +
                                                   "Version=9.0.0.2980\n");
        fs::create_directories(In());
        fs::create_directories(dir_ / "elsewhere");
    }
    ~CliWatch() override { stop(SIGKILL); }

    fs::path In(const std::string& name = "") const { return dir_ / "in" / name; }

    // A short tone, made once per test.
    fs::path Tone(double seconds = 1) {
        const fs::path file = dir_ / "elsewhere" / ("tone" + std::to_string(seconds) + ".wav");
        if (!fs::exists(file)) {
            RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=" + std::to_string(seconds), "-ac", "1", file.string()},
                      dir_.path());
        }
        return file;
    }

    void start(std::vector<std::string> arguments) {
        run_.program = QORVANE_CLI_PATH;
        run_.argv = {"qorvane-cli", "watch", "--settle", "1"};
        run_.argv.insert(run_.argv.end(), arguments.begin(), arguments.end());
        run_.argv.push_back(In().string());
        run_.workingDirectory = dir_.path();
        const char* path = std::getenv("PATH");
        run_.environment = {{"QORVANE_REGISTRY", registry_.string()},
                            {"QORVANE_LOG", (dir_ / "batch.log").string()},
                            {"XDG_STATE_HOME", (dir_ / "state").string()},
                            {"PATH", std::string(QORVANE_ENCODER_DIR) + ":" + (path ? path : "/usr/bin:/bin")}};
        run_.outputFile = dir_ / "cli.out";
        run_.errorFile = dir_ / "cli.err";
        pid_ = StartProgram(run_);
        // Watching once it says so.
        waitFor([this] { return ReadFileBytes(run_.errorFile).find("watching: ") != std::string::npos; }, 10s);
    }

    // Ends the watch with a signal; its exit status.
    int stop(int signal = SIGTERM) {
        if (pid_ <= 0) return -1;
        ::kill(pid_, signal);
        const ProgramResult result = WaitProgram(pid_, run_);
        pid_ = -1;
        return result.exitCode;
    }

    std::string output() const { return ReadFileBytes(run_.outputFile); }
    Lines encoded() const { return LinesStartingWith(output(), "encoded: "); }
    // Every line printed: one per run, whatever became of it.
    Lines lines() const { return LinesStartingWith(output(), ""); }

    template <typename Condition>
    static bool waitFor(Condition condition, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(50ms);
        }
        return true;
    }
    bool waitForEncoded(std::size_t count, std::chrono::milliseconds limit = 30s) {
        return waitFor([&] { return encoded().size() >= count; }, limit);
    }

    TempDir dir_;
    fs::path registry_;
    ProgramRun run_;
    pid_t pid_ = -1;
};

TEST_F(CliWatch, AFileWrittenInChunksIsTakenOnceAfterItsLastWriteWhole) {
    start({"--out", (dir_ / "out").string()});
    const std::string bytes = ReadFileBytes(Tone(8));
    // Sixteen chunks over eight seconds, each written by a new open and close.
    const std::size_t chunk = bytes.size() / 16 + 1;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        std::ofstream(In("slow.wav"), std::ios::binary | std::ios::app) << bytes.substr(at, chunk);
        EXPECT_EQ(encoded(), Lines{}) << "taken before its last write";
        std::this_thread::sleep_for(500ms);
    }
    ASSERT_TRUE(waitForEncoded(1)) << output() << ReadFileBytes(run_.errorFile);
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(lines(), Lines{"encoded: " + In("slow.wav").string() + " -> " + (dir_ / "out/slow.wma").string()});
    EXPECT_NEAR(Probe(dir_ / "out/slow.wma").duration, 8.0, 0.25);
    EXPECT_EQ(stop(), 128 + SIGTERM);
}

TEST_F(CliWatch, FilesMovedOrRenamedInAreTakenOnceAndUnfinishedNamesNever) {
    // The outputs land in a folder inside the watched one, and the outputs
    // of the second watch beside their inputs: neither comes back as new.
    start({"--out", In("converted").string()});
    fs::copy_file(Tone(), dir_ / "elsewhere/moved.wav");
    fs::rename(dir_ / "elsewhere/moved.wav", In("moved.wav"));
    fs::copy_file(Tone(), In("download.wav.part"));
    std::this_thread::sleep_for(1500ms);  // a .part settles and is left alone
    fs::rename(In("download.wav.part"), In("download.wav"));
    ASSERT_TRUE(waitForEncoded(2)) << output();
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(lines(), (Lines{"encoded: " + In("moved.wav").string() + " -> " + In("converted/moved.wma").string(),
                                "encoded: " + In("download.wav").string() + " -> " +
                                    In("converted/download.wma").string()}));
    EXPECT_EQ(output().find(".part"), std::string::npos);
    EXPECT_EQ(stop(), 128 + SIGTERM);
}

TEST_F(CliWatch, ARestartTakesNothingAgainButANewVersionOfAFile) {
    fs::copy_file(Tone(), In("there.wav"));  // before the start
    start({});
    ASSERT_TRUE(waitForEncoded(1)) << output();
    std::this_thread::sleep_for(3s);  // its output, beside it, is not taken as new
    EXPECT_EQ(lines(), Lines{"encoded: " + In("there.wav").string() + " -> " + In("there.wma").string()});
    EXPECT_EQ(stop(SIGINT), 128 + SIGINT);
    ASSERT_TRUE(fs::exists(In("there.wma")));

    start({});
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(lines(), Lines{}) << output();
    // Replaced by a longer version.
    fs::copy_file(Tone(2), In("there.wav"), fs::copy_options::overwrite_existing);
    ASSERT_TRUE(waitForEncoded(1)) << output();
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(lines(), Lines{"encoded: " + In("there.wav").string() + " -> " + In("there.wma").string()});
    EXPECT_NEAR(Probe(In("there.wma")).duration, 2.0, 0.25);
    EXPECT_EQ(stop(SIGHUP), 128 + SIGHUP);
}

TEST_F(CliWatch, PollingFindsTheSameFilesWithoutInotify) {
    start({"--poll", "1", "--keep-tree", "--out", (dir_ / "out").string()});
    EXPECT_FALSE(UsesInotify(pid_));
    fs::create_directories(In("アルバム 2"));
    fs::copy_file(Tone(), In("アルバム 2/01 曲.wav"));
    fs::copy_file(Tone(), dir_ / "elsewhere/moved.wav");
    fs::rename(dir_ / "elsewhere/moved.wav", In("moved.wav"));
    fs::copy_file(Tone(), In("x.wav.part"));
    ASSERT_TRUE(waitForEncoded(2)) << output();
    std::this_thread::sleep_for(2500ms);
    Lines printed = lines();
    std::sort(printed.begin(), printed.end());  // found in one look or in two
    EXPECT_EQ(printed, (Lines{"encoded: " + In("moved.wav").string() + " -> " + (dir_ / "out/moved.wma").string(),
                            "encoded: " + In("アルバム 2/01 曲.wav").string() + " -> " +
                                (dir_ / "out/アルバム 2/01 曲.wma").string()}));
    EXPECT_EQ(stop(), 128 + SIGTERM);
}

}  // namespace
}  // namespace qorvane::testing
