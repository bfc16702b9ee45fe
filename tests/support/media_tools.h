#pragma once
// Small media files made by ffmpeg inside a test's temporary directory, and
// their tags read back by a reader that shares no code with the program.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qorvane::testing {

// Runs ffmpeg with these arguments (after "-nostdin -v error -y") in
// `directory`. Throws std::runtime_error with ffmpeg's message on failure.
void RunFfmpeg(const std::vector<std::string>& arguments, const std::filesystem::path& directory);

// Makes a one-second WMA file (wmav2, 64 kbps) without tags of its own.
void MakeWmaFile(const std::filesystem::path& output);

// Makes a one-second MP3 file without any ID3 tag (nor a Xing frame), so a
// test can put the exact tag bytes it wants in front or behind.
std::string MakeBareMp3(const std::filesystem::path& scratchDir);

// The container tags as ffprobe reports them (key -> value).
std::map<std::string, std::string> ProbeTags(const std::filesystem::path& media);

}  // namespace qorvane::testing
