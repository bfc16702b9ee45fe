// How long storing a job's tags takes on a large Windows Media file: the
// editor that the programs use, on a video made by ffmpeg.
//
//   tag_bench [MEGABYTES] [PASSES]      (default 500 MB, 5 passes)
//
// The file is made in a fresh temporary folder (kept warm in the page
// cache), tagged PASSES times with different texts, and removed at the end.
// Prints the best and the mean pass.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/taglib_metadata_editor.h"
#include "tags/current_job_tags.h"
#include "tags/wma_tag_writer.h"

namespace {

namespace fs = std::filesystem;

bool MakeVideo(const fs::path& output, long megabytes) {
    // About 8 MB/s of picture at 64 Mbit/s: the length gives the size.
    const long seconds = std::max(1L, megabytes / 8);
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1280x720:rate=30 -t " +
                                std::to_string(seconds) + " -c:v wmv2 -b:v 64M -maxrate 64M -bufsize 16M '" +
                                output.string() + "'";
    return std::system(command.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const long megabytes = argc > 1 ? std::atol(argv[1]) : 500;
    const int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    char pattern[] = "/tmp/qorvane-tag-bench-XXXXXX";
    if (!::mkdtemp(pattern)) return 1;
    const fs::path dir = pattern;
    const fs::path video = dir / "clip.wmv";
    std::printf("making a %ld MB video...\n", megabytes);
    if (!MakeVideo(video, megabytes)) {
        std::fprintf(stderr, "ffmpeg failed\n");
        fs::remove_all(dir);
        return 1;
    }
    std::printf("file: %.1f MB\n", static_cast<double>(fs::file_size(video)) / 1e6);

    qorvane::TagLibMetadataEditor editor;
    std::vector<double> seconds;
    for (int pass = 0; pass < passes; ++pass) {
        const std::string n = std::to_string(pass);
        const auto tags = qorvane::MakeCurrentJobTags("Title " + n, "Artist " + n, "Album " + n, "(C) " + n, "2026");
        const auto start = std::chrono::steady_clock::now();
        qorvane::WriteJobTags(video, tags, editor);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    double sum = 0;
    for (const double s : seconds) sum += s;
    std::printf("tagging, %d passes: best %.3f s, mean %.3f s\n", passes,
                *std::min_element(seconds.begin(), seconds.end()), sum / passes);
    fs::remove_all(dir);
    return 0;
}
