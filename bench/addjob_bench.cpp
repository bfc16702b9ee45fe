// How long queueing a folder of tagged files takes, for MP3, FLAC and M4A:
// the tags read alone (the program's reader of every format, pictures left
// unread as for a new row), then AddJob for each file, once into a bare job
// list and once into a job list shown by the main window's item view
// (offscreen). Then the facts of FILE_COUNT files of mixed formats (length,
// codecs, picture size) as a new row reads them, on one thread. Then a whole
// library added as a folder the way the window adds one: listed and read on
// the adder's thread, the rows appended in batches into the shown list; how
// long it takes, and the longest time the window's thread was held up
// meanwhile.
//
//   addjob_bench [FILE_COUNT [TREE_FILE_COUNT]]
//       FILE_COUNT per format, default 10000 (target: under one second each,
//       and under two seconds for the facts of FILE_COUNT mixed files; 0 skips);
//       TREE_FILE_COUNT, default 100000: 100 files a folder, every tenth a
//       tagged FLAC or MP3, the rest WAV files (target: under 5 s; 0 skips)
//
// The MP3 files are written byte by byte; the FLAC and M4A files are copies
// of one file ffmpeg made (a tenth of a second of sound and a 14 KB cover),
// each given its own tags by TagLib. All go to a fresh temporary folder that
// is removed at the end. Each variant makes three passes over the warm
// files; the best pass counts. A format that AddJob does not take in this
// build is measured for its tags alone.
#include <QApplication>
#include <QTreeView>

#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <QElapsedTimer>
#include <QTimer>

#include "app/add_job.h"
#include "app/folder_listing.h"
#include "app/job_list.h"
#include "app/ui/folder_adder.h"
#include "app/ui/job_list_model.h"
#include "platform/posix/posix_directory_walk.h"
#include "platform/posix/cp932_code_page.h"
#include "platform/posix/media_facts_reader.h"
#include "platform/posix/media_tag_reader.h"
#include "support/media_tools.h"

namespace {

namespace fs = std::filesystem;
using qorvane::JobList;

std::string BigEndian32(std::uint32_t n) {
    return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
            static_cast<char>(n)};
}

std::string SynchSafe32(std::uint32_t n) {
    return {static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
            static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
}

std::string TextFrame(const std::string& id, const std::string& text) {
    const std::string body = std::string(1, '\0') + text;
    return id + BigEndian32(static_cast<std::uint32_t>(body.size())) + std::string(2, '\0') + body;
}

// An MP3 file as a tagger leaves it: an ID3v2.3 tag with the usual frames
// and some padding, then a few kilobytes of MPEG audio frames.
std::string Mp3File(int index) {
    const std::string n = std::to_string(index);
    std::string frames = TextFrame("TIT2", "Title " + n) + TextFrame("TPE1", "Artist " + std::to_string(index % 97)) +
                         TextFrame("TALB", "Album " + std::to_string(index % 31)) +
                         TextFrame("TYER", std::to_string(1970 + index % 50)) + TextFrame("TCON", "(12)") +
                         TextFrame("TRCK", "3/12") + TextFrame("TCOP", "(c) Label");
    frames.append(512, '\0');
    std::string out = "ID3\x03";
    out += '\0';
    out += '\0';
    out += SynchSafe32(static_cast<std::uint32_t>(frames.size()));
    out += frames;
    std::string audio = "\xFF\xFB\x90\x64";
    audio.resize(4096, '\x55');
    return out + audio;
}

double BestOfThree(const std::function<void()>& pass) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        pass();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) best = took.count();
    }
    return best;
}

std::vector<std::string> WriteMp3Files(const fs::path& dir, int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back((dir / ("track" + std::to_string(i) + ".mp3")).string());
        std::ofstream(paths.back(), std::ios::binary) << Mp3File(i);
    }
    return paths;
}

// Copies of one file ffmpeg made, each tagged by TagLib.
std::vector<std::string> CopyTaggedFiles(const fs::path& dir, const std::string& extension,
                                         const std::string& codec, int count) {
    const fs::path model = dir / ("model." + extension);
    qorvane::testing::RunFfmpeg({"-f", "lavfi", "-i", "sine=d=0.1", "-i", "cover.jpg", "-map", "0:a", "-map",
                                 "1:v", "-c:v", "copy", "-disposition:v", "attached_pic", "-c:a", codec,
                                 model.string()},
                                dir);
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back((dir / ("track" + std::to_string(i) + "." + extension)).string());
        fs::copy_file(model, paths.back());
        TagLib::FileRef file(paths.back().c_str(), false);
        file.tag()->setTitle("Title " + std::to_string(i));
        file.tag()->setArtist("Artist " + std::to_string(i % 97));
        file.tag()->setAlbum("Album " + std::to_string(i % 31));
        file.tag()->setYear(static_cast<unsigned>(1970 + i % 50));
        file.tag()->setTrack(static_cast<unsigned>(1 + i % 12));
        file.save();
    }
    return paths;
}

// The list in the main window's kind of view, shown (offscreen).
void Show(QTreeView& view, qorvane::JobListModel& model) {
    view.setUniformRowHeights(true);
    view.setRootIsDecorated(false);
    view.setModel(&model);
    view.resize(600, 300);
    view.show();
}

// Prints the three figures of one format; false when a row lacks its tags.
bool Measure(const char* label, const std::vector<std::string>& paths, const qorvane::TagReader& reader) {
    const auto count = static_cast<double>(paths.size());
    std::size_t read = 0;
    const double alone = BestOfThree([&] {
        read = 0;
        for (const auto& path : paths) {
            if (reader(path)) ++read;
        }
    });
    std::size_t tagged = 0;
    const double bare = BestOfThree([&] {
        JobList list;
        for (const auto& path : paths) qorvane::AddJob(list, path, "Temporary", "", reader);
        tagged = 0;
        for (std::size_t row = 0; row < list.size(); ++row) tagged += !list[row].Title.empty();
    });
    std::printf("%s: %zu files\n", label, paths.size());
    std::printf("  tags read alone:            %7.3f s  (%.1f us per file), %zu read\n", alone, alone * 1e6 / count,
                read);
    if (tagged == 0) {
        std::printf("  AddJob does not take these files in this build\n");
        return read == paths.size();
    }
    const double shown = BestOfThree([&] {
        JobList list;
        qorvane::JobListModel model(list);
        QTreeView view;
        Show(view, model);
        for (const auto& path : paths) qorvane::AddJob(list, path, "Temporary", "", reader);
        QApplication::processEvents();  // the view catches up, as it would after a drop
    });
    std::printf("  job list alone:             %7.3f s  (%.1f us per file)\n", bare, bare * 1e6 / count);
    std::printf("  job list shown in the view: %7.3f s  (%.1f us per file)\n", shown, shown * 1e6 / count);
    std::printf("  rows with tags read: %zu\n", tagged);
    return tagged == paths.size();
}

// Copies of one short file of each kind a user queues, ffmpeg-made, in
// turn until `count`.
std::vector<std::string> MixedFiles(const fs::path& dir, int count) {
    const fs::path models = dir / "models";
    fs::create_directories(models);
    const std::vector<std::string> sound = {"-f", "lavfi", "-i", "sine=d=0.5"};
    const std::vector<std::string> both = {"-f", "lavfi", "-i", "sine=d=0.5", "-f", "lavfi", "-i",
                                           "testsrc=size=160x120:rate=25:d=0.5"};
    const std::vector<std::pair<std::string, std::vector<std::string>>> kinds = {
        {"wav", {"-c:a", "pcm_s16le"}},     {"mp3", {"-c:a", "libmp3lame"}},
        {"flac", {"-c:a", "flac"}},         {"m4a", {"-c:a", "aac"}},
        {"ogg", {"-c:a", "libvorbis"}},     {"opus", {"-c:a", "libopus"}},
        {"wma", {"-c:a", "wmav2"}},         {"mp4", {"-c:v", "libx264", "-c:a", "aac"}},
        {"mkv", {"-c:v", "libx264", "-c:a", "libvorbis"}}, {"avi", {"-c:v", "mpeg4", "-c:a", "libmp3lame"}},
        {"wmv", {"-c:v", "wmv2", "-c:a", "wmav2"}},        {"mpg", {"-c:v", "mpeg1video", "-c:a", "mp2"}},
    };
    std::vector<fs::path> made;
    for (const auto& [extension, codecs] : kinds) {
        std::vector<std::string> arguments = codecs.size() == 2 ? sound : both;
        arguments.insert(arguments.end(), codecs.begin(), codecs.end());
        made.push_back(models / ("model." + extension));
        arguments.push_back(made.back().string());
        qorvane::testing::RunFfmpeg(arguments, models);
    }
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        const fs::path& model = made[static_cast<std::size_t>(i) % made.size()];
        paths.push_back((dir / ("mixed" + std::to_string(i) + model.extension().string())).string());
        fs::copy_file(model, paths.back());
    }
    return paths;
}

// Prints how long the facts of the files take; false when one lacks them.
bool MeasureFacts(const std::vector<std::string>& paths) {
    const qorvane::FileMediaFactsReader reader;
    std::size_t withLength = 0;
    const double took = BestOfThree([&] {
        withLength = 0;
        for (const auto& path : paths) {
            const auto facts = reader.read(path);
            if (facts && facts->duration) ++withLength;
        }
    });
    std::printf("Facts of mixed files (WAV MP3 FLAC M4A Ogg Opus WMA MP4 MKV AVI WMV MPG): %zu files\n",
                paths.size());
    std::printf("  facts read:                 %7.3f s  (%.1f us per file), %zu with a length\n", took,
                took * 1e6 / static_cast<double>(paths.size()), withLength);
    return withLength == paths.size();
}

// A library: Artist NN/Album NN/NN Track.ext, 100 files a folder; every
// tenth file a tagged FLAC or MP3 (copies of the ones made above), the rest
// WAV files with a header and a little sound.
fs::path WriteTree(const fs::path& dir, int count, const std::string& flac, const std::string& mp3) {
    const fs::path root = dir / "library";
    // 16-bit mono PCM at 44.1 kHz, 1024 samples of silence (little endian).
    const auto le = [](std::uint32_t n, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
        return out;
    };
    std::string wav = "RIFF" + le(36 + 2048, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(44100, 4) +
                      le(88200, 4) + le(2, 2) + le(16, 2) + "data" + le(2048, 4);
    wav.append(2048, '\0');
    for (int i = 0; i < count; ++i) {
        const int folder = i / 100;
        const fs::path album = root / ("Artist " + std::to_string(folder / 10)) / ("Album " + std::to_string(folder % 10));
        if (i % 100 == 0) fs::create_directories(album);
        const std::string name = std::to_string(i % 100 + 1) + " Track";
        if (i % 10 == 0) {
            fs::copy_file(i % 20 == 0 ? flac : mp3, album / (name + (i % 20 == 0 ? ".flac" : ".mp3")));
        } else {
            std::ofstream(album / (name + ".wav"), std::ios::binary) << wav;
        }
    }
    return root;
}

// Adds the folder as the window does; false when a row is missing or a
// tagged one lacks its title.
bool MeasureTree(const fs::path& root, int count, const qorvane::TagReader& reader) {
    const qorvane::PosixDirectoryWalk walk;
    std::size_t listed = 0;
    const double listing = BestOfThree([&] { listed = qorvane::ListInputs(walk, {root.string()}).files.size(); });

    double best = 1e9;
    double bestCpu = 0;
    qint64 worstStall = 0;
    std::size_t rows = 0;
    std::size_t tagged = 0;
    for (int pass = 0; pass < 3; ++pass) {
        JobList list;
        qorvane::JobListModel model(list);
        QTreeView view;
        Show(view, model);
        bool done = false;
        qorvane::FolderAdder::Handlers handlers;
        handlers.rows = [&list](std::vector<qorvane::EncodeJob> batch) { list.append(std::move(batch)); };
        handlers.done = [&done](const qorvane::InputRowsSummary&) { done = true; };
        qorvane::FolderAdder adder(walk, reader, handlers);
        // The window's thread: how long between two turns of its loop.
        QElapsedTimer sinceTurn;
        qint64 stall = 0;
        QTimer turns;
        turns.setInterval(5);
        QObject::connect(&turns, &QTimer::timeout, [&] {
            stall = std::max(stall, sinceTurn.restart());
        });
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        qorvane::InputRowsRequest request;
        request.paths = {root.string()};
        request.profile = "Temporary";
        sinceTurn.start();
        turns.start();
        adder.add(request);
        while (!done) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QApplication::processEvents();  // the view catches up
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) {
            best = took.count();
            bestCpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
            worstStall = stall;
        }
        rows = list.size();
        tagged = 0;
        for (std::size_t row = 0; row < list.size(); ++row) tagged += !list[row].Title.empty();
    }
    std::printf("Folder of %d files (%d tagged FLAC or MP3), added as the window adds it:\n", count, (count + 9) / 10);
    std::printf("  listing alone:              %7.3f s, %zu files\n", listing, listed);
    std::printf("  listed, tags read, shown:   %7.3f s  (%.1f us per file), %zu rows, %zu with tags\n", best,
                best * 1e6 / count, rows, tagged);
    std::printf("  processor time, all threads: %6.3f s\n", bestCpu);
    std::printf("  longest the window waited:  %7lld ms\n", static_cast<long long>(worstStall));
    return rows == static_cast<std::size_t>(count) && tagged == static_cast<std::size_t>((count + 9) / 10);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int treeCount = argc > 2 ? std::atoi(argv[2]) : 100000;
    if (count < 0 || treeCount < 0 || (count == 0 && treeCount == 0)) {
        std::fprintf(stderr, "usage: addjob_bench [FILE_COUNT [TREE_FILE_COUNT]]\n");
        return 2;
    }

    const fs::path dir = fs::temp_directory_path() / ("qorvane-addjob-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(dir);
    qorvane::testing::RunFfmpeg({"-f", "lavfi", "-i", "nullsrc=s=160x160:d=0.04,geq=random(1)*255:128:128",
                                 "-frames:v", "1", "-q:v", "5", "cover.jpg"},
                                dir);
    // At least one of each, as the models of the tree.
    const std::vector<std::string> mp3 = WriteMp3Files(dir, std::max(count, 1));
    const std::vector<std::string> flac = CopyTaggedFiles(dir, "flac", "flac", std::max(count, 1));

    const qorvane::Cp932CodePage cp932;
    const qorvane::FileMediaTagReader rowTags(cp932, qorvane::FileMediaTagReader::Pictures::Skip);
    const qorvane::TagReader reader = qorvane::TagReaderOf(rowTags);
    std::printf("AddJob, best of 3, build %s\n", QORVANE_BENCH_BUILD_TYPE);
    bool ok = true;
    if (count > 0) {
        const std::vector<std::string> m4a = CopyTaggedFiles(dir, "m4a", "aac", count);
        ok = Measure("MP3 (ID3v2.3, 4 KB audio)", mp3, reader) && ok;
        ok = Measure("FLAC (Vorbis comment, 14 KB cover)", flac, reader) && ok;
        ok = Measure("M4A (AAC, 14 KB cover)", m4a, reader) && ok;
        ok = MeasureFacts(MixedFiles(dir / "mixed", count)) && ok;
    }
    if (treeCount > 0) ok = MeasureTree(WriteTree(dir, treeCount, flac[0], mp3[0]), treeCount, reader) && ok;
    fs::remove_all(dir);
    return ok ? 0 : 1;
}
