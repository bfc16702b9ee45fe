// How long storing a job's tags takes on a large Windows Media file: the
// editor that the programs use, on a video made by ffmpeg.
//
//   tag_bench [MEGABYTES] [PASSES]      (default 500 MB, 5 passes)
//
// The video (uncompressed pictures, so that its size is as asked) is made
// in a fresh temporary folder. Each pass tags a fresh copy of it, untagged
// as an encoder leaves its output, warm in the page cache; only the tagging
// is timed. Prints the best and the mean pass; removes everything at the end.
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
    // 640x480 4:2:0 at 30 frames a second is 13.824 MB a second.
    const double seconds = std::max(0.1, static_cast<double>(megabytes) / 13.824);
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=640x480:rate=30 -t " +
                                std::to_string(seconds) + " -c:v rawvideo -pix_fmt yuv420p '" + output.string() + "'";
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
    const fs::path output = dir / "output.wmv";
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
        fs::copy_file(video, output, fs::copy_options::overwrite_existing);
        const auto start = std::chrono::steady_clock::now();
        qorvane::WriteJobTags(output, tags, editor);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    double sum = 0;
    for (const double s : seconds) sum += s;
    std::printf("tagging, %d passes: best %.3f s, mean %.3f s\n", passes,
                *std::min_element(seconds.begin(), seconds.end()), sum / passes);
    fs::remove_all(dir);
    return 0;
}
