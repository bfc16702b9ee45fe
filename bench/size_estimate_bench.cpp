// size_estimate_bench: how close the list's size estimates come to what the
// stand-in encoder really writes.
//
// Sources made by ffmpeg, each encoded through `qorvane-cli encode` under a
// set of profiles; the estimate (EstimateJobSize on the facts the headers
// give) is set against the size of the file written.
//
//   "Ordinary" content: a 60 s WAV of a tone over pink noise (sound); 30 s
//   clips of ffmpeg's moving test pattern (testsrc2) at 320x240/25 fps and
//   640x360/29.97 fps and of a zoom into the Mandelbrot set (640x360/25
//   fps), each with a tone as sound; video at bit rates that suit the
//   picture size: 0.04 to 0.5 bits per pixel of each picture (300 kbps at
//   640x360/25 fps is 0.05).
//   Misses shown for what they are: a picture of random noise, bit rates
//   below or above that band, and the stand-in's Speex for the voice codec.
//
// Prints one line per encode and the largest error per group. Targets:
// constant-bit-rate sound within 5 %, constant-bit-rate video within 15 % on
// ordinary content.
//
// Usage: size_estimate_bench [SECONDS]   (default 30 s per clip, twice that for the sound)
// Needs ffmpeg on PATH.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "encode/byte_source.h"
#include "encode/encoding_profile.h"
#include "encode/header_facts.h"
#include "encode/size_estimate.h"
#include "profiles/profile_settings.h"
#include "support/media_tools.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace qorvane;

struct Source {
    std::string name;
    bool ordinary;
    std::vector<std::string> ffmpeg;  // arguments that make it
};

struct Case {
    std::string group;  // "CBR sound", "CBR video", ...
    std::string what;   // the profile in words
    int audioMode, audioRow, videoMode;
    std::string videoBitrate;
};

std::vector<Source> Sources(int seconds) {
    const std::string t = std::to_string(seconds);
    const std::string t2 = std::to_string(2 * seconds);
    const std::vector<std::string> tone = {"-f", "lavfi", "-i", "sine=f=330:d=" + t};
    const auto clip = [&](const std::string& name, bool ordinary, const std::string& pictures) {
        std::vector<std::string> args{"-f", "lavfi", "-i", pictures};
        args.insert(args.end(), tone.begin(), tone.end());
        args.insert(args.end(), {"-t", t, "-c:v", "libx264", "-preset", "veryfast", "-crf", "16", "-c:a", "aac",
                                 "-shortest", name});
        return Source{name, ordinary, args};
    };
    return {
        {"music.wav", true,
         {"-f", "lavfi", "-i", "sine=f=440:d=" + t2, "-f", "lavfi", "-i", "anoisesrc=color=pink:a=0.2:d=" + t2,
          "-filter_complex", "amix=inputs=2", "-ac", "2", "-ar", "44100", "music.wav"}},
        clip("pattern-320x240.mp4", true, "testsrc2=s=320x240:r=25"),
        clip("pattern-640x360.mp4", true, "testsrc2=s=640x360:r=30000/1001"),
        clip("fractal-640x360.mp4", true, "mandelbrot=s=640x360:r=25"),
        clip("noise-640x360.mp4", false, "nullsrc=s=640x360:r=25,geq=random(1)*255:128:128"),
    };
}

// Sound profiles on the WAV; video profiles on the clips.
const std::vector<Case> kSoundCases = {
    {"CBR sound", "CBR 32 kbps", 1, 4, 1, "250"},     {"CBR sound", "CBR 64 kbps", 1, 14, 1, "250"},
    {"CBR sound", "CBR 128 kbps", 1, 17, 1, "250"},   {"CBR sound", "CBR 192 kbps", 1, 19, 1, "250"},
    {"CBR sound", "CBR 320 kbps", 1, 21, 1, "250"},   {"CBR sound", "CBR 128 kbps 48 kHz", 1, 24, 1, "250"},
    {"CBR sound", "2-pass CBR 128 kbps", 2, 17, 1, "250"}, {"CBR sound", "CBR 20 kbps mono", 1, 9, 1, "250"},
    {"CBR sound", "CBR 16 kbps 22 kHz mono", 1, 0, 1, "250"},
    {"other sound", "VBR 128 kbps", 4, 3, 1, "250"},  {"other sound", "peak VBR 64 kbps", 5, 1, 1, "250"},
    {"other sound", "PCM 706 kbps", 8, 1, 1, "250"},  {"other sound", "PCM 1411 kbps", 8, 3, 1, "250"},
    {"voice (Speex)", "voice 4 kbps", 7, 0, 1, "250"}, {"voice (Speex)", "voice 20 kbps", 7, 6, 1, "250"},
};
const std::vector<Case> kVideoCases = {
    {"CBR video", "CBR 300 kbps + 64", 1, 14, 1, "300"},
    {"CBR video", "CBR 700 kbps + 128", 1, 17, 1, "700"},
    {"CBR video", "CBR 1500 kbps + 192", 1, 19, 1, "1500"},
    {"CBR video", "2-pass CBR 1000 kbps + 128", 1, 17, 2, "1000"},
    {"CBR video", "CBR 3000 kbps + 320", 1, 21, 1, "3000"},
    {"other video", "VBR 1000 kbps + 128", 1, 17, 4, "1000"},
    {"other video", "MPEG-4 700 kbps + 128", 1, 17, 6, "700"},
    {"CBR video", "CBR 150 kbps + 64", 1, 14, 1, "150"},
};

// Bits per pixel of each picture at a video bit rate: what tells a rate that
// suits a picture from one far below or above what it needs.
constexpr double kOrdinaryLowestBitsPerPixel = 0.04;
constexpr double kOrdinaryHighestBitsPerPixel = 0.5;

std::string GroupOf(const Case& c, const MediaFacts& facts, bool ordinarySource) {
    if (!ordinarySource) return "noise-like pictures";
    if (facts.kind != MediaKind::Video || !facts.video) return c.group;
    const VideoFacts& v = *facts.video;
    const double bitsPerPixel = std::atof(c.videoBitrate.c_str()) * 1000 / (v.width * v.height * v.frameRate);
    if (bitsPerPixel < kOrdinaryLowestBitsPerPixel) return c.group + ", rate below the band";
    if (bitsPerPixel > kOrdinaryHighestBitsPerPixel) return c.group + ", rate above the band";
    return c.group;
}

ProfileSettings SettingsOf(const Case& c) {
    ProfileSettings s;
    s.AudioMode = c.audioMode;
    s.AudioSetting = c.audioRow;
    s.VideoMode = c.videoMode;
    s.VideoBitrate = c.videoBitrate;
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 30;
    testing::TempDir dir;
    const fs::path work = dir.path();
    std::printf("size_estimate_bench: %d s clips, %d s sound; estimate vs the stand-in's file\n", seconds, 2 * seconds);
    for (const Source& source : Sources(seconds)) testing::RunFfmpeg(source.ffmpeg, work);

    std::map<std::string, double> worst;  // by group
    std::printf("%-22s %-28s %12s %12s %8s\n", "source", "profile", "estimate", "file", "error");
    int number = 0;
    for (const Source& source : Sources(seconds)) {
        const FileBytes bytes(work / source.name);
        const std::optional<MediaFacts> facts = ReadHeaderFacts(bytes);
        if (!facts) {
            std::fprintf(stderr, "%s: no facts\n", source.name.c_str());
            return 1;
        }
        const bool sound = facts->kind == MediaKind::Audio;
        // Random noise takes long to encode and misses alike at every rate: three will do.
        std::vector<Case> cases = sound ? kSoundCases : kVideoCases;
        if (!source.ordinary) cases.resize(3);
        for (const Case& c : cases) {
            const fs::path out = work / ("out" + std::to_string(++number));
            fs::create_directories(out);
            const fs::path profile = out / "p.wpf";
            WriteProfile(profile, SettingsOf(c));
            testing::ProgramRun run;
            run.program = QORVANE_CLI_PATH;
            run.argv = {"qorvane-cli", "encode", "--quiet", "--profile", profile.string(), "--out", out.string(),
                        (work / source.name).string()};
            run.workingDirectory = work;
            const char* path = std::getenv("PATH");
            run.environment = {{"QORVANE_REGISTRY", QORVANE_REGISTRY_PATH},
                               {"PATH", std::string(QORVANE_ENCODER_DIR) + ":" + (path ? path : "/usr/bin:/bin")}};
            run.outputFile = out / "cli.txt";
            if (testing::RunProgram(run).exitCode != 0) {
                std::printf("%-22s %-28s %12s %12s %8s\n", source.name.c_str(), c.what.c_str(), "", "failed", "");
                continue;
            }
            std::uintmax_t written = 0;
            for (const auto& entry : fs::directory_iterator(out)) {
                const std::string ext = entry.path().extension().string();
                if (ext == ".wma" || ext == ".wmv") written += entry.file_size();
            }
            const JobSize estimate = EstimateJobSize(PrepareEncodingProfile(SettingsOf(c)), *facts);
            if (!estimate.bytes) {
                std::printf("%-22s %-28s %12s %12ju %8s\n", source.name.c_str(), c.what.c_str(), "?", written, "");
                continue;
            }
            const double error = (static_cast<double>(*estimate.bytes) - static_cast<double>(written)) /
                                 static_cast<double>(written) * 100;
            const std::string group = GroupOf(c, *facts, source.ordinary);
            std::printf("%-22s %-28s %12ju %12ju %+7.1f%%  %s\n", source.name.c_str(), c.what.c_str(),
                        static_cast<std::uintmax_t>(*estimate.bytes), written, error, group.c_str());
            worst[group] = std::max(worst[group], std::fabs(error));
        }
    }
    std::printf("\nlargest error by group:\n");
    for (const auto& [group, error] : worst) std::printf("  %-22s %5.1f %%\n", group.c_str(), error);
    const bool met = worst["CBR sound"] <= 5 && worst["CBR video"] <= 15;
    std::printf("targets (CBR sound within 5 %%, CBR video within 15 %%): %s\n", met ? "met" : "NOT met");
    return met ? 0 : 1;
}
