#include "support/run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "support/temp_dir.h"

extern char** environ;

namespace qorvane::testing {

pid_t StartProgram(const ProgramRun& run) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const auto equals = text.find('=');
        if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : run.environment) variables[name] = value;
    std::vector<std::string> envText;
    for (const auto& [name, value] : variables) envText.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& text : envText) envp.push_back(text.data());
    envp.push_back(nullptr);

    std::vector<std::string> argText = run.argv;
    std::vector<char*> argv;
    for (auto& text : argText) argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (run.outputDescriptor >= 0) {
        posix_spawn_file_actions_adddup2(&actions, run.outputDescriptor, STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, run.outputFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    if (run.errorFile.empty()) {
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, run.errorFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    if (!run.workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, run.workingDirectory.c_str());

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (run.ownGroup) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    pid_t pid = 0;
    const std::string program = run.program.string();
    const int error = program.find('/') == std::string::npos
                          ? posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data())
                          : posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) throw std::runtime_error("cannot start " + program + ": " + std::strerror(error));
    return pid;
}

ProgramResult WaitProgram(pid_t pid, const ProgramRun& run) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("waitpid failed");
    }
    ProgramResult result;
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    if (run.outputDescriptor < 0) result.output = ReadFileBytes(run.outputFile);
    if (!run.errorFile.empty()) result.errors = ReadFileBytes(run.errorFile);
    return result;
}

ProgramResult RunProgram(const ProgramRun& run) { return WaitProgram(StartProgram(run), run); }

ProgramResult RunTool(const std::vector<std::string>& argv, const std::filesystem::path& directory) {
    ProgramRun run;
    run.program = argv.front();
    run.argv = argv;
    run.workingDirectory = directory;
    run.outputFile = directory / ".tool-output";
    run.errorFile = directory / ".tool-errors";
    ProgramResult result;
    try {
        result = RunProgram(run);
    } catch (const std::runtime_error& error) {
        result.errors = error.what();
    }
    std::filesystem::remove(run.outputFile);
    std::filesystem::remove(run.errorFile);
    return result;
}

}  // namespace qorvane::testing
