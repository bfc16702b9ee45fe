#include "encoder_fixture.h"

namespace qorvane::testing {

std::unique_ptr<TempDir> EncoderEndToEnd::media_;

fs::path EncoderEndToEnd::Media(const std::string& name) {
    if (!media_) {
        media_ = std::make_unique<TempDir>();
        media_->write("noise.wav", std::string(4096, 'x'));
        fs::create_directory(media_->path() / "folder.wav");
    }
    const fs::path file = media_->path() / name;
    if (fs::exists(file)) return file;
    static const std::map<std::string, std::vector<std::string>> makers = {
        {"tone4.wav", {"-f", "lavfi", "-i", "sine=frequency=440:duration=4:sample_rate=44100", "-ac", "2"}},
        {"tone8.wav", {"-f", "lavfi", "-i", "sine=frequency=440:duration=8:sample_rate=44100", "-ac", "2"}},
        {"tone.mp3",
         {"-f", "lavfi", "-i", "sine=frequency=660:duration=2:sample_rate=44100", "-c:a", "libmp3lame", "-b:a",
          "128k", "-metadata", "title=Old title"}},
        {"clip.avi",
         {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=2", "-f", "lavfi", "-i",
          "sine=duration=2:sample_rate=44100", "-c:v", "mpeg4", "-c:a", "pcm_s16le"}},
        {"clip.mpg",
         {"-f", "lavfi", "-i", "testsrc=size=352x288:rate=25:duration=2", "-f", "lavfi", "-i",
          "sine=duration=2:sample_rate=48000", "-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpeg"}},
        {"clip.vob",
         {"-f", "lavfi", "-i", "testsrc=size=352x288:rate=25:duration=1", "-f", "lavfi", "-i",
          "sine=duration=1:sample_rate=48000", "-c:v", "mpeg2video", "-c:a", "ac3", "-f", "vob"}},
        {"clip.flv",
         {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1", "-f", "lavfi", "-i",
          "sine=duration=1:sample_rate=44100"}},
        {"silent.avi", {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1", "-c:v", "mpeg4"}},
    };
    const auto maker = makers.find(name);
    if (maker == makers.end()) return file;  // deliberately missing
    std::vector<std::string> argv = {"ffmpeg", "-v", "error", "-nostdin"};
    argv.insert(argv.end(), maker->second.begin(), maker->second.end());
    argv.push_back(name);
    const ProgramResult made = RunTool(argv, media_->path());
    EXPECT_EQ(made.exitCode, 0) << name << ": " << made.errors;
    return file;
}

}  // namespace qorvane::testing
