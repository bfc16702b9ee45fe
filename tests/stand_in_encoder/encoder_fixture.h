#pragma once
// Runs the built qorvane-cscript in a fresh output directory on small media
// that are made with ffmpeg on first use.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace qorvane::testing {

namespace fs = std::filesystem;

class EncoderEndToEnd : public ::testing::Test {
protected:
    // Media are made on first use and shared by the tests of one process.
    static std::filesystem::path Media(const std::string& name);

    ProgramResult Encode(const std::vector<std::string>& options,
                         const std::map<std::string, std::string>& environment = {},
                         const std::string& script = QORVANE_WMCMD_PATH) {
        ProgramRun run = Run(options, environment, script);
        return RunProgram(run);
    }

    ProgramRun Run(const std::vector<std::string>& options, const std::map<std::string, std::string>& environment,
                   const std::string& script = QORVANE_WMCMD_PATH) {
        ProgramRun run;
        run.program = QORVANE_CSCRIPT_PATH;
        run.argv = {"cscript.exe", script};
        run.argv.insert(run.argv.end(), options.begin(), options.end());
        run.workingDirectory = work_.path();
        run.environment = environment;
        run.outputFile = console_.path() / "console.txt";
        return run;
    }

    // Everything in the output directory, hidden files included.
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(work_.path())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::unique_ptr<TempDir> media_;
    TempDir work_;
    TempDir console_;
};


using Names = std::vector<std::string>;

}  // namespace qorvane::testing
