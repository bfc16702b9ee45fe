#pragma once
// Running ffmpeg and ffprobe from end-to-end tests: small media files made
// inside a test's temporary directory, and their tags read back by a reader
// that shares no code with the program.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qorvane::testing {

struct ProgramResult {
    int exitCode = -1;  // -1: could not be started or did not exit normally
    std::string output;  // standard output
    std::string errors;  // standard error
};

// Runs a program found on PATH with exactly these arguments (no shell),
// capturing its output through files in `scratchDir`.
ProgramResult RunProgram(const std::vector<std::string>& arguments,
                         const std::filesystem::path& scratchDir);

// Makes a one-second WMA file (wmav2, 64 kbps) without tags of its own.
// Throws std::runtime_error with ffmpeg's message when that fails.
void MakeWmaFile(const std::filesystem::path& output);

// Makes a one-second MP3 file without any ID3 tag (nor a Xing frame), so a
// test can put the exact tag bytes it wants in front or behind.
std::string MakeBareMp3(const std::filesystem::path& scratchDir);

// The container tags as ffprobe reports them (key -> value).
std::map<std::string, std::string> ProbeTags(const std::filesystem::path& media);

}  // namespace qorvane::testing
