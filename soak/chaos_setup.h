#pragma once
// The chaos batch's world: media made once with ffmpeg and linked under
// every job's name, an encoder wrapper that brings trouble by the input's
// name, a profile and the jobs themselves.

#include <filesystem>
#include <string>
#include <vector>

namespace qorvane::soak {

enum class Kind { Good, Quote, Missing, Corrupt, FullDisk, Flood, Hang };

struct Job {
    std::filesystem::path input;
    std::filesystem::path output;
    Kind kind = Kind::Good;
    bool mp3 = false;    // tags come from its ID3 tag
    bool video = false;  // a .wmv with a picture
};

// The tags of every MP3 input.
inline constexpr const char* kTitle = "夜明けの歌 $(x);#";
inline constexpr const char* kArtist = "山田 花子";
inline constexpr const char* kAlbum = "朝のアルバム";

struct ChaosSetup {
    std::filesystem::path work;
    std::filesystem::path media;    // the files every input is linked to
    std::filesystem::path in;       // the inputs, and their outputs beside them
    std::filesystem::path fullDir;  // the nearly full disk, or `in` without one
    std::filesystem::path bin;      // the encoder wrapper, first on PATH
    std::filesystem::path registry;
    std::filesystem::path profile;  // "chaos.wpf"
    std::filesystem::path log;
    // A folder that a run of an "UNPLUG" input takes away, leaving a file
    // of that name, as a drive pulled out in the middle of a batch.
    std::filesystem::path unplugged;
    std::vector<Job> jobs;
};

// Makes `media` under setup.work: tone.wav, small.wav, song.mp3 (tagged),
// clip.avi, corrupt.wav and corrupt.mp3.
void MakeMedia(const ChaosSetup& setup);

// The encoder, the stand-in in `encoderDir` behind a wrapper that floods
// 100 MiB onto its error output for a "FLOOD" input, hangs for a "HANG"
// one and takes `unplugged` away for an "UNPLUG" one. With `removeMissing`, the first run ("tone-000") removes the
// "missing-" inputs, so that they go missing after being added.
void WriteEncoder(const ChaosSetup& setup, const std::filesystem::path& encoderDir, bool removeMissing);

// `count` jobs, each kind in its turn, the last one hanging. With
// `createMissing` the "missing" inputs are made too (to be removed later).
std::vector<Job> MakeJobs(const ChaosSetup& setup, int count, bool createMissing);

// A hard link, or a copy where none can be made.
void LinkOrCopy(const std::filesystem::path& from, const std::filesystem::path& to);

std::string ReadText(const std::filesystem::path& file);

}  // namespace qorvane::soak
