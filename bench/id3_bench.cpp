// How fast the ID3 reader gets through a folder of small MP3 files, next to
// TagLib reading the tags of the same files (audio properties off).
//
//   id3_bench [FILE_COUNT]      (default 10000)
//
// The corpus is written to a fresh temporary folder and removed at the end.
// Each reader makes three passes over the warm files; the best pass counts.
#include <taglib/mpegfile.h>
#include <taglib/tag.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/cp932_code_page.h"
#include "tags/id3.h"

namespace {

namespace fs = std::filesystem;

std::string SynchSafe(std::uint32_t n) {
    return {static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
            static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
}

std::string BigEndian(std::uint32_t n, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(n >> (8 * i));
    return out;
}

std::string Utf16Le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// One frame of the given layout (2, 3 or 4) whose body is `body`.
std::string Frame(int version, const std::string& id, const std::string& body) {
    const auto size = static_cast<std::uint32_t>(body.size());
    if (version == 2) return id.substr(0, 3) + BigEndian(size, 3) + body;
    const std::string sizeBytes = version == 4 ? SynchSafe(size) : BigEndian(size, 4);
    return id + sizeBytes + std::string(2, '\0') + body;
}

std::string Id3v2Tag(int version, int index, std::mt19937& random) {
    const std::string n = std::to_string(index);
    const bool utf16 = version > 2 && index % 3 == 0;
    auto text = [&](const std::string& value) {
        std::string body(1, utf16 ? '\x01' : '\0');
        body += utf16 ? Utf16Le(value) : value;
        return body;
    };
    static const char* const kLong[] = {"TIT2", "TPE1", "TALB", "TYER", "TCON", "TRCK", "COMM"};
    static const char* const kShort[] = {"TT2", "TP1", "TAL", "TYE", "TCO", "TRK", "COM"};
    const char* const* ids = version == 2 ? kShort : kLong;
    std::string frames;
    frames += Frame(version, ids[0], text("Title " + n));
    frames += Frame(version, ids[1], text("Artist " + std::to_string(index % 97)));
    frames += Frame(version, ids[2], text("Album " + std::to_string(index % 31)));
    frames += Frame(version, ids[3], text(std::to_string(1970 + index % 50)));
    const std::string genre = std::string("(").append(std::to_string(index % 148)).append(")");
    frames += Frame(version, ids[4], text(genre));
    frames += Frame(version, ids[5], text(std::to_string(1 + index % 20) + "/20"));
    std::string comment(1, '\0');
    comment.append("eng").append(1, '\0').append("Comment ").append(n);
    frames += Frame(version, ids[6], comment);
    if (version > 2) frames += Frame(version, "TXXX", text("Encoder settings"));
    frames += std::string(std::uniform_int_distribution<int>(0, 1024)(random), '\0');
    std::string tag = "ID3";
    tag += static_cast<char>(version);
    tag.append(2, '\0');
    tag += SynchSafe(static_cast<std::uint32_t>(frames.size()));
    return tag + frames;
}

std::string Id3v1Tag(int index) {
    auto field = [](std::string text, std::size_t width) {
        text.resize(width, '\0');
        return text;
    };
    std::string tag = "TAG";
    tag += field("Old title " + std::to_string(index), 30);
    tag += field("Old artist", 30);
    tag += field("Old album", 30);
    tag += field("1999", 4);
    tag += field("Old comment", 28);
    tag += '\0';
    tag += static_cast<char>(1 + index % 20);
    tag += static_cast<char>(index % 148);
    return tag;
}

// MPEG-1 Layer III frames, 128 kbit/s at 44.1 kHz: 417 bytes each.
std::string MpegFrames(int count) {
    std::string frame = "\xFF\xFB\x90\x64";
    frame.resize(417, '\0');
    std::string out;
    for (int i = 0; i < count; ++i) out += frame;
    return out;
}

fs::path MakeCorpus(int fileCount) {
    std::string pattern = (fs::temp_directory_path() / "qorvane_id3_bench_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    const fs::path dir = pattern;
    std::mt19937 random(20240607);
    for (int i = 0; i < fileCount; ++i) {
        // A mix: ID3v2.3 (most common), 2.4, 2.2, and bare streams with ID3v1 only.
        const int kind = i % 20;
        std::string bytes;
        if (kind < 9) {
            bytes = Id3v2Tag(3, i, random);
        } else if (kind < 13) {
            bytes = Id3v2Tag(4, i, random);
        } else if (kind < 15) {
            bytes = Id3v2Tag(2, i, random);
        }
        bytes += MpegFrames(std::uniform_int_distribution<int>(10, 30)(random));
        if (kind >= 15 || i % 4 == 0) bytes += Id3v1Tag(i);
        std::ofstream(dir / ("track" + std::to_string(i) + ".mp3"), std::ios::binary) << bytes;
    }
    return dir;
}

struct Pass {
    double seconds;
    std::size_t titled;  // files for which a title came back
};

Pass TimePass(const std::vector<std::string>& paths,
              const std::function<bool(const std::string&)>& readOne) {
    const auto start = std::chrono::steady_clock::now();
    std::size_t titled = 0;
    for (const std::string& path : paths) titled += readOne(path) ? 1 : 0;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return {elapsed.count(), titled};
}

}  // namespace

int main(int argc, char** argv) {
    const int fileCount = argc > 1 ? std::atoi(argv[1]) : 10000;
    if (fileCount <= 0) {
        std::fprintf(stderr, "usage: id3_bench [FILE_COUNT]\n");
        return 2;
    }
    const fs::path dir = MakeCorpus(fileCount);
    std::vector<std::string> paths;
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        paths.push_back(entry.path().string());
        bytes += entry.file_size();
    }

    const qorvane::Cp932CodePage cp932;
    auto ours = [&cp932](const std::string& path) {
        qorvane::TID3v2 id3(cp932);
        const bool found = id3.ReadTags(path);
        return found && !id3.Title.empty() && !id3.Artist.empty();
    };
    auto taglib = [](const std::string& path) {
        TagLib::MPEG::File file(path.c_str(), false);
        const TagLib::Tag* tag = file.tag();
        return tag != nullptr && !tag->title().to8Bit(true).empty() &&
               !tag->artist().to8Bit(true).empty();
    };

    Pass bestOurs{1e30, 0};
    Pass bestTaglib{1e30, 0};
    for (int round = 0; round < 3; ++round) {
        const Pass a = TimePass(paths, ours);
        const Pass b = TimePass(paths, taglib);
        if (a.seconds < bestOurs.seconds) bestOurs = a;
        if (b.seconds < bestTaglib.seconds) bestTaglib = b;
    }
    fs::remove_all(dir);

    const double oursRate = static_cast<double>(paths.size()) / bestOurs.seconds;
    const double taglibRate = static_cast<double>(paths.size()) / bestTaglib.seconds;
    std::printf("corpus: %zu MP3 files, %.1f MB (ID3v2.2/2.3/2.4 and ID3v1, mixed)\n",
                paths.size(), static_cast<double>(bytes) / 1e6);
    std::printf("build:  %s\n", QORVANE_BENCH_BUILD_TYPE);
    std::printf("ReadTags:        %10.0f files/s  (%zu with title and artist)\n", oursRate,
                bestOurs.titled);
    std::printf("TagLib (tags):   %10.0f files/s  (%zu with title and artist)\n", taglibRate,
                bestTaglib.titled);
    std::printf("ratio:           %10.1f x\n", oursRate / taglibRate);
    return 0;
}
