// Folders given to `qorvane-cli encode`, with their tree kept below --out,
// and the same folder spread over two runs at once with GNU parallel as the
// documentation shows it: both give the same files with the same sound.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "support/media_tools.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace qorvane::testing {
namespace {

namespace fs = std::filesystem;

class CliFolders : public ::testing::Test {
protected:
    CliFolders() {
        registry_ = dir_.write("registry.ini", std::string("[software\\Microsoft\\Windows Media\\Encoder]\n") +
                                                   "InstallDir=" + QORVANE_ENCODER_DIR + "/\n" +
                                                   "Version=9.0.0.2980\n");
        profile_ = dir_.write("plain.wpf", "[audio]\nmode=1\nbitrate=14\n");
        // A short tone, in the formats a library holds; a tree with names in
        // Japanese and with numbers, a hidden folder and a file of another kind.
        const fs::path in = dir_ / "in";
        fs::create_directories(in / "Artist A/Album 1");
        fs::create_directories(in / "アーティスト/Disc 10");
        fs::create_directories(in / ".trash");
        RunFfmpeg({"-f", "lavfi", "-i", "sine=frequency=440:duration=0.3", "Artist A/Album 1/Track 10.flac"}, in);
        RunFfmpeg({"-f", "lavfi", "-i", "sine=frequency=660:duration=0.3", "Artist A/Album 1/Track 2.mp3"}, in);
        RunFfmpeg({"-f", "lavfi", "-i", "sine=frequency=880:duration=0.3", "アーティスト/Disc 10/曲 1.wav"}, in);
        RunFfmpeg({"-f", "lavfi", "-i", "sine=frequency=550:duration=0.3", "top.wav"}, in);
        fs::copy_file(in / "top.wav", in / ".trash/old.wav");
        dir_.write("in/Artist A/Album 1/cover.jpg", "not converted");
    }

    // Runs a shell script in `folder` with the built programs first on PATH.
    ProgramResult Shell(const std::string& script, const fs::path& folder) {
        ProgramRun run;
        run.program = "bash";
        run.argv = {"bash", "-euc", script};
        run.workingDirectory = folder;
        const char* path = std::getenv("PATH");
        run.environment = {{"QORVANE_REGISTRY", registry_.string()},
                           {"QORVANE_LOG", (dir_ / "batch.log").string()},
                           {"HOME", dir_.path().string()},  // GNU parallel keeps its state there
                           {"PROFILE", profile_.string()},
                           {"PATH", fs::path(QORVANE_CLI_PATH).parent_path().string() + ":" + QORVANE_ENCODER_DIR +
                                        ":" + (path ? path : "/usr/bin:/bin")}};
        run.outputFile = dir_ / "shell.out";
        run.errorFile = dir_ / "shell.err";
        return RunProgram(run);
    }

    // Each output below `root` by its relative path, with a digest of its
    // decoded sound.
    static std::map<std::string, std::string> Outputs(const fs::path& root) {
        std::map<std::string, std::string> outputs;
        if (!fs::exists(root)) return outputs;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file()) continue;
            const ProgramResult md5 =
                RunTool({"ffmpeg", "-nostdin", "-v", "error", "-i", entry.path().string(), "-map", "0:a", "-f", "md5", "-"},
                        root);
            outputs[entry.path().lexically_relative(root).string()] = md5.output;
        }
        return outputs;
    }

    TempDir dir_;
    fs::path registry_;
    fs::path profile_;
};

TEST_F(CliFolders, AFolderKeepsItsTreeBelowTheOutputFolder) {
    const ProgramResult one = Shell("qorvane-cli encode --keep-tree --quiet --profile \"$PROFILE\" --out out in", dir_.path());
    ASSERT_EQ(one.exitCode, 0) << one.output << one.errors;
    const auto outputs = Outputs(dir_ / "out");
    std::vector<std::string> names;
    for (const auto& [name, sound] : outputs) {
        names.push_back(name);
        EXPECT_NE(sound.find("MD5="), std::string::npos) << name << " has no sound";
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Artist A/Album 1/Track 10.wma", "Artist A/Album 1/Track 2.wma",
                                               "top.wma", "アーティスト/Disc 10/曲 1.wma"}));

    // Without --keep-tree, every output in the one folder; the order is the listing's.
    const ProgramResult flat = Shell("qorvane-cli encode --profile \"$PROFILE\" --out flat in", dir_.path());
    ASSERT_EQ(flat.exitCode, 0) << flat.output << flat.errors;
    const std::string o = flat.output;
    EXPECT_LT(o.find("Track 2.mp3"), o.find("Track 10.flac"));
    EXPECT_LT(o.find("Track 10.flac"), o.find("top.wav"));
    EXPECT_LT(o.find("top.wav"), o.find("曲 1.wav"));
    EXPECT_TRUE(fs::exists(dir_ / "flat/曲 1.wma"));
}

TEST_F(CliFolders, TheParallelRecipeGivesWhatOneRunGives) {
    const ProgramResult one = Shell("qorvane-cli encode --keep-tree --quiet --profile \"$PROFILE\" --out ../one .",
                                    dir_ / "in");
    ASSERT_EQ(one.exitCode, 0) << one.output << one.errors;
    // The recipe of the documentation, with two local job slots for the machines.
    const ProgramResult spread = Shell(
        "qorvane-cli list . > ../files.txt\n"
        "parallel --will-cite -j 2 -N 2 -a ../files.txt "
        "qorvane-cli encode --keep-tree --quiet --profile \"$PROFILE\" --out ../spread\n",
        dir_ / "in");
    ASSERT_EQ(spread.exitCode, 0) << spread.output << spread.errors;
    const auto expected = Outputs(dir_ / "one");
    EXPECT_EQ(expected.size(), 4u);
    EXPECT_EQ(Outputs(dir_ / "spread"), expected);
}

}  // namespace
}  // namespace qorvane::testing
