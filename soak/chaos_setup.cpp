#include "chaos_setup.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/media_tools.h"

namespace qorvane::soak {

namespace fs = std::filesystem;
using testing::RunFfmpeg;

namespace {

std::string Padded(int i) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", i);
    return text;
}

// A name of exactly 250 bytes: Japanese, then the number, then the extension.
std::string JapaneseName(int i, const std::string& extension) {
    std::string name;
    const std::string tail = "-" + Padded(i) + extension;
    while (name.size() + 3 + tail.size() <= 250) name += "\xE3\x81\x82";  // あ
    while (name.size() + tail.size() < 250) name += 'x';
    return name + tail;
}

}  // namespace

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void LinkOrCopy(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::create_hard_link(from, to, ec);
    if (ec) fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

void MakeMedia(const ChaosSetup& setup) {
    const fs::path& media = setup.media;
    fs::create_directories(media);
    RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=0.5", "-ac", "2", "tone.wav"}, media);
    RunFfmpeg({"-f", "lavfi", "-i", "sine=sample_rate=8000:duration=0.5", "small.wav"}, media);
    RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=0.5", "-c:a", "libmp3lame", "-b:a", "64k", "-id3v2_version", "3",
               "-metadata", std::string("title=") + kTitle, "-metadata", std::string("artist=") + kArtist,
               "-metadata", std::string("album=") + kAlbum, "-metadata", "date=2024", "song.mp3"},
              media);
    RunFfmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=0.5", "-f", "lavfi", "-i",
               "sine=duration=0.5", "-c:v", "mpeg4", "-c:a", "pcm_s16le", "clip.avi"},
              media);
    std::string noise(16384, '\0');
    unsigned seed = 7;
    for (char& c : noise) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    std::ofstream(media / "corrupt.wav", std::ios::binary) << "RIFF" << noise;
    std::ofstream(media / "corrupt.mp3", std::ios::binary) << noise;
}

void WriteEncoder(const ChaosSetup& setup, const fs::path& encoderDir, bool removeMissing) {
    fs::create_directories(setup.bin);
    const fs::path hang = setup.bin / "ffmpeg-hang";
    std::ofstream(hang) << "#!/bin/sh\nexec sleep 100000\n";
    const fs::path wrapper = setup.bin / "qorvane-cscript";
    std::ofstream script(wrapper);
    script << "#!/bin/sh\n";
    if (removeMissing) script << "case \"$*\" in *tone-000*) rm -f '" << setup.in.string() << "'/missing-* ;; esac\n";
    script << "case \"$*\" in *FLOOD*)\n"
           << "  yes 'flood: an encoder that talks too much on its error output' | head -c 104857600 >&2 ;;\n"
           << "esac\n"
           // Again until it holds: a job prepared meanwhile may make the folder anew.
           << "case \"$*\" in *UNPLUG*) i=0; until [ -f '" << setup.unplugged.string() << "' ] || [ $i -ge 100 ]; do\n"
           << "  rm -rf '" << setup.unplugged.string() << "'; echo x 2>/dev/null >'" << setup.unplugged.string()
           << "'; i=$((i+1)); done ;;\nesac\n"
           << "case \"$*\" in *HANG*) QORVANE_FFMPEG='" << hang.string() << "'; export QORVANE_FFMPEG ;; esac\n"
           << "exec '" << encoderDir.string() << "/qorvane-cscript' \"$@\"\n";
    script.close();
    for (const fs::path& file : {hang, wrapper}) fs::permissions(file, fs::perms::owner_all);
    std::ofstream(setup.registry) << "[software\\Microsoft\\Windows Media\\Encoder]\nInstallDir="
                                  << encoderDir.string() << "/\nVersion=9.0\n";
    std::ofstream(setup.profile) << "[audio]\nmode=1\nbitrate=14\n[video]\nmode=1\nbitrate=250\n";
}

std::vector<Job> MakeJobs(const ChaosSetup& setup, int count, bool createMissing) {
    std::vector<Job> jobs;
    for (int i = 0; i < count; ++i) {
        Job job;
        const std::string n = Padded(i);
        std::string name;
        std::string source = "tone.wav";
        fs::path dir = setup.in;
        if (i == count - 1) {
            job.kind = Kind::Hang;
            name = "HANG-" + n + ".wav";
        } else {
            switch (i % 20) {
                case 0: name = "tone-" + n + ".wav"; break;
                case 1: name = "song-" + n + ".mp3", source = "song.mp3"; break;
                case 2: name = "clip-" + n + ".avi", source = "clip.avi"; break;
                case 3: name = "q\"uote-" + n + ".wav", job.kind = Kind::Quote; break;
                case 4: name = "dollar $(touch pwned)-" + n + ".mp3", source = "song.mp3"; break;
                case 5: name = "semi;colon-" + n + ".avi", source = "clip.avi"; break;
                case 6: name = "hash #" + n + ".wav"; break;
                case 7: name = "new\nline-" + n + ".mp3", source = "song.mp3"; break;
                case 8: name = "bad\xff\xfe-" + n + ".wav"; break;
                case 9: name = JapaneseName(i, ".mp3"), source = "song.mp3"; break;
                case 10: name = "missing-" + n + ".wav", job.kind = Kind::Missing; break;
                case 11: name = "corrupt-" + n + ".wav", source = "corrupt.wav", job.kind = Kind::Corrupt; break;
                case 12: name = "corrupt-" + n + ".mp3", source = "corrupt.mp3", job.kind = Kind::Corrupt; break;
                case 13:
                    name = "full-" + n + ".wav", source = "small.wav", dir = setup.fullDir, job.kind = Kind::FullDisk;
                    break;
                case 14:
                    name = JapaneseName(i, ".wav"), source = "small.wav", dir = setup.fullDir,
                    job.kind = Kind::FullDisk;
                    break;
                case 15: name = "apos'trophe & <" + n + ">.wav"; break;
                case 16: name = "TONE-" + n + ".WAV"; break;
                case 17:
                    if (i % 100 == 17) name = "FLOOD-" + n + ".wav", job.kind = Kind::Flood;
                    else name = "plain-" + n + ".wav";
                    break;
                case 18: name = "dot.name." + n + ".avi", source = "clip.avi"; break;
                default: name = "back\\slash-" + n + ".mp3", source = "song.mp3"; break;
            }
        }
        job.input = dir / name;
        job.mp3 = source == "song.mp3";
        job.video = source == "clip.avi";
        const std::string stem = name.substr(0, name.rfind('.'));
        job.output = dir / (stem + (job.video ? ".wmv" : ".wma"));
        if (job.kind != Kind::Missing || createMissing) LinkOrCopy(setup.media / source, job.input);
        jobs.push_back(job);
    }
    return jobs;
}

}  // namespace qorvane::soak
