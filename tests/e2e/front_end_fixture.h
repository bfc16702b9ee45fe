#pragma once
// Both front ends run as a user runs them: qorvane-cli, and a portable copy
// of the window on an offscreen display that runs its batch unattended
// (QORVANE_RUN_BATCH). The stand-in encoder is found through a registry file
// and PATH; ffmpeg reads its input at its own pace (-re), so that a run of
// an input of N seconds lasts N seconds, and notes its process id; the
// temporary folder is the test's own, so that what a run leaves there shows.

#include <gtest/gtest.h>

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace qorvane::testing {

class FrontEnds : public ::testing::Test {
protected:
    FrontEnds();

    // A sound of `seconds` seconds in the input folder.
    std::filesystem::path Input(const std::string& name, int seconds);
    std::filesystem::path Out(const std::string& name = "") const { return dir_ / "out" / name; }
    std::filesystem::path Temp() const { return dir_ / "tmp"; }

    ProgramRun Cli(const std::vector<std::string>& arguments) const;
#ifdef QORVANE_PROGRAM_PATH
    // The window with `parallel` runs at once, its output folder Out().
    ProgramRun Window(const std::vector<std::filesystem::path>& files, int parallel) const;
#endif

    // The process groups of the first `count` encoders that began writing
    // (each led by its stand-in encoder); empty when they did not come.
    std::vector<pid_t> EncoderGroups(std::size_t count) const;

    // Names in a folder, sorted.
    static std::vector<std::string> Listing(const std::filesystem::path& dir);

    TempDir dir_;
};

}  // namespace qorvane::testing
