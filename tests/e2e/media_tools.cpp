#include "e2e/media_tools.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "support/temp_dir.h"

extern char** environ;

namespace qorvane::testing {

ProgramResult RunProgram(const std::vector<std::string>& arguments,
                         const std::filesystem::path& scratchDir) {
    const auto outPath = scratchDir / "program.out";
    const auto errPath = scratchDir / "program.err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    ProgramResult result;
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.errors = "cannot start " + arguments.front();
        return result;
    }
    int status = 0;
    pid_t waited = 0;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.output = ReadFileBytes(outPath);
    result.errors = ReadFileBytes(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}

namespace {

void RunFfmpeg(std::vector<std::string> arguments, const std::filesystem::path& scratchDir) {
    arguments.insert(arguments.begin(), {"ffmpeg", "-nostdin", "-v", "error", "-y"});
    const ProgramResult result = RunProgram(arguments, scratchDir);
    if (result.exitCode != 0) throw std::runtime_error("ffmpeg failed: " + result.errors);
}

}  // namespace

void MakeWmaFile(const std::filesystem::path& output) {
    RunFfmpeg({"-f", "lavfi", "-i", "sine=d=1", "-c:a", "wmav2", "-b:a", "64k", "-map_metadata",
               "-1", output.string()},
              output.parent_path());
}

std::string MakeBareMp3(const std::filesystem::path& scratchDir) {
    const auto mp3 = scratchDir / "bare-audio.mp3";
    RunFfmpeg({"-f", "lavfi", "-i", "sine=d=1", "-c:a", "libmp3lame", "-b:a", "64k",
               "-map_metadata", "-1", "-id3v2_version", "0", "-write_xing", "0", mp3.string()},
              scratchDir);
    std::string bytes = ReadFileBytes(mp3);
    std::filesystem::remove(mp3);
    return bytes;
}

std::map<std::string, std::string> ProbeTags(const std::filesystem::path& media) {
    const ProgramResult result =
        RunProgram({"ffprobe", "-v", "error", "-show_entries", "format_tags", "-of",
                    "default=noprint_wrappers=1", media.string()},
                   media.parent_path());
    if (result.exitCode != 0) throw std::runtime_error("ffprobe failed: " + result.errors);
    std::map<std::string, std::string> tags;
    std::size_t start = 0;
    while (start < result.output.size()) {
        std::size_t end = result.output.find('\n', start);
        if (end == std::string::npos) end = result.output.size();
        const std::string line = result.output.substr(start, end - start);
        start = end + 1;
        const std::string prefix = "TAG:";
        const std::size_t equals = line.find('=');
        if (line.rfind(prefix, 0) == 0 && equals != std::string::npos) {
            tags[line.substr(prefix.size(), equals - prefix.size())] = line.substr(equals + 1);
        }
    }
    return tags;
}

}  // namespace qorvane::testing
