// How long queueing a folder of MP3 files takes: AddJob for each file, ID3
// read included, once into a bare job list and once into a job list shown
// by the main window's item view (offscreen).
//
//   addjob_bench [FILE_COUNT]      (default 10000; target: under one second)
//
// The files are written to a fresh temporary folder and removed at the end.
// Each variant makes three passes over the warm files; the best pass counts.
#include <QApplication>
#include <QTreeView>

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

#include "app/add_job.h"
#include "app/job_list.h"
#include "app/ui/job_list_model.h"
#include "platform/posix/cp932_code_page.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    if (count <= 0) {
        std::fprintf(stderr, "usage: addjob_bench [FILE_COUNT]\n");
        return 2;
    }

    const fs::path dir = fs::temp_directory_path() / ("qorvane-addjob-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(dir);
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back((dir / ("track" + std::to_string(i) + ".mp3")).string());
        std::ofstream(paths.back(), std::ios::binary) << Mp3File(i);
    }

    const qorvane::Cp932CodePage cp932;
    const qorvane::TagReader reader = qorvane::Id3TagReader(cp932);
    std::size_t tagged = 0;
    const double bare = BestOfThree([&] {
        JobList list;
        for (const auto& path : paths) qorvane::AddJob(list, path, "Temporary", "", reader);
        tagged = list.size() > 0 && !list[list.size() - 1].Title.empty() ? list.size() : 0;
    });
    const double shown = BestOfThree([&] {
        JobList list;
        qorvane::JobListModel model(list);
        QTreeView view;
        view.setUniformRowHeights(true);
        view.setRootIsDecorated(false);
        view.setModel(&model);
        view.resize(600, 300);
        view.show();
        for (const auto& path : paths) qorvane::AddJob(list, path, "Temporary", "", reader);
        QApplication::processEvents();  // the view catches up, as it would after a drop
    });
    fs::remove_all(dir);

    std::printf("AddJob, %d MP3 files (ID3v2.3, 4 KB audio), best of 3, build %s\n", count,
                QORVANE_BENCH_BUILD_TYPE);
    std::printf("  job list alone:            %7.3f s  (%.1f us per file)\n", bare, bare * 1e6 / count);
    std::printf("  job list shown in the view: %6.3f s  (%.1f us per file)\n", shown, shown * 1e6 / count);
    std::printf("  rows with tags read: %zu\n", tagged);
    return tagged == static_cast<std::size_t>(count) ? 0 : 1;
}
