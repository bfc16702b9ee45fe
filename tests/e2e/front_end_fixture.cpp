#include "e2e/front_end_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "support/media_tools.h"
#include "support/process_table.h"

namespace qorvane::testing {

namespace fs = std::filesystem;

FrontEnds::FrontEnds() {
    dir_.write("registry.ini", std::string("[software\\Microsoft\\Windows Media\\Encoder]\nInstallDir=") +
                                   QORVANE_ENCODER_DIR + "/\nVersion=9.0.0.2980\n");
    for (const char* folder : {"in", "out", "tmp"}) fs::create_directory(dir_ / folder);
    const fs::path ffmpeg = dir_.write("slow-ffmpeg",
                                       "#!/bin/sh\n"
                                       "echo $$ > \"$QORVANE_TEST_DIR/ffmpeg-$$.tmp\"\n"
                                       "mv \"$QORVANE_TEST_DIR/ffmpeg-$$.tmp\" \"$QORVANE_TEST_DIR/ffmpeg-$$.pid\"\n"
                                       "exec ffmpeg -re \"$@\"\n");
    fs::permissions(ffmpeg, fs::perms::owner_all);
}

fs::path FrontEnds::Input(const std::string& name, int seconds) {
    RunFfmpeg({"-f", "lavfi", "-i", "sine=sample_rate=8000:duration=" + std::to_string(seconds), "in/" + name},
              dir_.path());
    return dir_ / "in" / name;
}

namespace {

ProgramRun Base(const TempDir& dir) {
    ProgramRun run;
    run.workingDirectory = dir.path();
    const char* path = std::getenv("PATH");
    run.environment = {{"QORVANE_REGISTRY", (dir / "registry.ini").string()},
                       {"QORVANE_LOG", (dir / "batch.log").string()},
                       {"QORVANE_FFMPEG", (dir / "slow-ffmpeg").string()},
                       {"QORVANE_TEST_DIR", dir.path().string()},
                       {"TMPDIR", (dir / "tmp").string()},
                       {"LANGUAGE", "ja"},
                       {"PATH", std::string(QORVANE_ENCODER_DIR) + ":" + (path ? path : "/usr/bin:/bin")}};
    run.outputFile = dir / "front-end.out";
    run.errorFile = dir / "front-end.err";
    return run;
}

}  // namespace

ProgramRun FrontEnds::Cli(const std::vector<std::string>& arguments) const {
    ProgramRun run = Base(dir_);
    run.program = QORVANE_CLI_PATH;
    run.argv = {"qorvane-cli", "encode"};
    run.argv.insert(run.argv.end(), arguments.begin(), arguments.end());
    return run;
}

#ifdef QORVANE_PROGRAM_PATH
ProgramRun FrontEnds::Window(const std::vector<fs::path>& files, int parallel) const {
    const fs::path app = dir_ / "app";
    fs::create_directories(app / "Profile");
    fs::create_directories(dir_ / "runtime");
    fs::permissions(dir_ / "runtime", fs::perms::owner_all);
    if (!fs::exists(app / "qorvane")) fs::copy_file(QORVANE_PROGRAM_PATH, app / "qorvane");
    dir_.write("app/Profile/voice.wpf", "[audio]\nmode=6\n");  // lossless: PCM in ASF, quick
    dir_.write("app/qorvane.ini",
               "[env]\ndir=" + Out().string() + "\nprof=voice\nparallel=" + std::to_string(parallel) + "\n");
    ProgramRun run = Base(dir_);
    run.program = app / "qorvane";
    run.argv = {run.program.string()};
    for (const fs::path& file : files) run.argv.push_back(file.string());
    run.environment.insert({{"QT_QPA_PLATFORM", "offscreen"},
                            {"QORVANE_MESSAGE_BOXES", "stderr-yes"},
                            {"QORVANE_RUN_BATCH", "1"},
                            {"HOME", dir_.path().string()},
                            {"XDG_RUNTIME_DIR", (dir_ / "runtime").string()},
                            {"XDG_CONFIG_HOME", (dir_ / "config").string()},
                            {"XDG_STATE_HOME", (dir_ / "state").string()},
                            {"XDG_CACHE_HOME", (dir_ / "cache").string()}});
    return run;
}
#endif

std::vector<pid_t> FrontEnds::EncoderGroups(std::size_t count) const {
    std::vector<pid_t> groups;
    Eventually([&] {
        groups.clear();
        for (const auto& entry : fs::directory_iterator(dir_.path())) {
            if (entry.path().extension() != ".pid") continue;
            pid_t ffmpeg = 0;
            std::ifstream(entry.path()) >> ffmpeg;
            const pid_t group = ffmpeg > 0 ? ::getpgid(ffmpeg) : -1;
            if (group > 0) groups.push_back(group);
        }
        return groups.size() >= count;
    });
    if (groups.size() < count) return {};
    groups.resize(count);
    return groups;
}

std::vector<std::string> FrontEnds::Listing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace qorvane::testing
