#include "support/media_tools.h"

#include <stdexcept>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace qorvane::testing {

void RunFfmpeg(const std::vector<std::string>& arguments, const std::filesystem::path& directory) {
    std::vector<std::string> argv = {"ffmpeg", "-nostdin", "-v", "error", "-y"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const ProgramResult result = RunTool(argv, directory);
    if (result.exitCode != 0) throw std::runtime_error("ffmpeg failed: " + result.errors);
}

void MakeWmaFile(const std::filesystem::path& output) {
    RunFfmpeg({"-f", "lavfi", "-i", "sine=d=1", "-c:a", "wmav2", "-b:a", "64k", "-map_metadata", "-1",
               output.string()},
              output.parent_path());
}

std::string MakeBareMp3(const std::filesystem::path& scratchDir) {
    const auto mp3 = scratchDir / "bare-audio.mp3";
    RunFfmpeg({"-f", "lavfi", "-i", "sine=d=1", "-c:a", "libmp3lame", "-b:a", "64k", "-map_metadata", "-1",
               "-id3v2_version", "0", "-write_xing", "0", mp3.string()},
              scratchDir);
    std::string bytes = ReadFileBytes(mp3);
    std::filesystem::remove(mp3);
    return bytes;
}

std::map<std::string, std::string> ProbeTags(const std::filesystem::path& media) {
    const ProgramResult result = RunTool({"ffprobe", "-v", "error", "-show_entries", "format_tags", "-of",
                                          "default=noprint_wrappers=1", "file:" + media.string()},
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
