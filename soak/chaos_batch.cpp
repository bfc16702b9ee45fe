// chaos_batch: one long batch of every kind of trouble through
// `qorvane-cli encode`, watched from outside as a user's script would see it.
//
// The jobs mix good WAV, MP3 (with ID3 tags) and AVI inputs under hostile
// names (quotes, "$()", ";", "#", a line break, bytes that are not UTF-8,
// 250-byte Japanese names), inputs that are gone, corrupt media that the
// encoder refuses, inputs on a nearly full disk (a small tmpfs, when run as
// root), an encoder that floods 100 MiB onto its error output and, last, one
// that hangs until the batch is stopped with SIGINT. The encoder is the real
// stand-in (qorvane-cscript and ffmpeg) behind a small shell wrapper that
// brings the flood and the hang. A second, short batch names an output
// folder that cannot be made.
//
// Checked afterwards: every job has its line (encoded, failed, skipped,
// aborted) as its kind demands; every encoded output is ASF with the tags of
// its job (ffprobe); a run that failed left no file and its reason is in the
// batch log; the log holds every run with its end; no process of the batch
// is left, and the CLI had no zombie child; its open descriptors and peak
// RSS after 50 jobs against those before the last.
//
// Usage: chaos_batch [JOBS]   (default 500). Needs ffmpeg and ffprobe.

#include <signal.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/media_probe.h"
#include "support/media_tools.h"
#include "support/process_table.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace qorvane::testing;

enum class Kind { Good, Quote, Missing, Corrupt, FullDisk, Flood, Hang };

struct Job {
    fs::path input;
    fs::path output;
    Kind kind = Kind::Good;
    bool mp3 = false;    // tags come from its ID3 tag
    bool video = false;  // a .wmv with a picture
};

constexpr const char* kTitle = "夜明けの歌 $(x);#";
constexpr const char* kArtist = "山田 花子";
constexpr const char* kAlbum = "朝のアルバム";

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Copy(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::create_hard_link(from, to, ec);
    if (ec) fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

std::string Padded(int i) {
    char text[8];
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

struct ProcessFigures {
    double peakRssMb = 0;
    int descriptors = 0;
    int zombieChildren = 0;
};

std::optional<long> StatusField(pid_t pid, const std::string& field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(field + ":")) return std::stol(line.substr(field.size() + 1));
    }
    return std::nullopt;
}

ProcessFigures Sample(pid_t pid) {
    ProcessFigures f;
    f.peakRssMb = StatusField(pid, "VmHWM").value_or(0) / 1024.0;
    std::error_code ec;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        ++f.descriptors;
    }
    for (const auto& p : AllProcesses()) {
        if (p.parent == pid && p.state == 'Z') ++f.zombieChildren;
    }
    return f;
}

// Processes whose command line or working directory lies in `dir`, but for
// `except` (the CLI, whose command line names every input).
std::vector<pid_t> ProcessesIn(const fs::path& dir, pid_t except = 0) {
    std::vector<pid_t> found;
    const std::string mark = dir.string();
    for (const auto& p : AllProcesses()) {
        if (p.pid == except || p.pid == ::getpid() || p.state == 'Z') continue;
        const std::string proc = "/proc/" + std::to_string(p.pid);
        std::error_code ec;
        const std::string cwd = fs::read_symlink(proc + "/cwd", ec).string();
        if (Read(proc + "/cmdline").find(mark) != std::string::npos || cwd.starts_with(mark)) {
            found.push_back(p.pid);
        }
    }
    return found;
}

// How the line a job gets begins: "encoded: IN -> OUT"; a failed or skipped
// job's line goes on with ": " and the reason.
std::string LineOf(const std::string& verdict, const Job& job) {
    std::string line = verdict + ": " + job.input.string();
    if (verdict != "skipped") line += " -> " + job.output.string();
    if (job.video && verdict != "skipped") line += " (250 kbps)";
    return line;
}

// The whole line at `at` (its line end included) when it is `start` alone
// or `start` with a reason; else empty.
std::string LineAt(const std::string& out, std::size_t at, const std::string& start) {
    const std::size_t after = at + start.size();  // a name may hold line ends of its own
    if (out.compare(after, 1, "\n") != 0 && out.compare(after, 2, ": ") != 0) return {};
    const std::size_t end = out.find('\n', after);
    return end == std::string::npos ? std::string() : out.substr(at, end + 1 - at);
}

// The blocks of the batch log, one per run: from its "==== time ====" line
// to the next.
std::vector<std::string> LogBlocks(const std::string& log) {
    std::vector<std::string> blocks;
    std::size_t at = log.find("==== ");
    while (at != std::string::npos) {
        std::size_t next = log.find("\n==== ", at + 1);
        blocks.push_back(log.substr(at, next == std::string::npos ? std::string::npos : next + 1 - at));
        at = next == std::string::npos ? next : next + 1;
    }
    return blocks;
}

class SmallDisk {
public:
    SmallDisk(const fs::path& dir, const char* size) : dir_(dir) {
        fs::create_directories(dir_);
        std::string options = std::string("size=") + size;
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", dir_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }

private:
    fs::path dir_;
    bool mounted_ = false;
};

// Fills the file system of `dir` until `leave` bytes are free.
void FillUpTo(const fs::path& dir, std::uintmax_t leave) {
    const fs::space_info space = fs::space(dir);
    if (space.available <= leave) return;
    const std::uintmax_t fill = space.available - leave;
    std::ofstream out(dir / ".filler", std::ios::binary);
    const std::string block(4096, 'f');
    for (std::uintmax_t written = 0; written < fill && out; written += block.size()) {
        out.write(block.data(), static_cast<std::streamsize>(std::min<std::uintmax_t>(block.size(), fill - written)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int jobCount = argc > 1 ? std::max(60, std::atoi(argv[1])) : 500;
    const auto started = Clock::now();
    TempDir work;
    const fs::path media = work / "media";
    const fs::path in = work / "in";
    const fs::path bin = work / "bin";
    for (const fs::path& dir : {media, in, bin}) fs::create_directories(dir);
    SmallDisk disk(work / "full", "768k");

    // Media, made once and linked under every name.
    RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=0.5", "-ac", "2", "tone.wav"}, media);
    RunFfmpeg({"-f", "lavfi", "-i", "sine=sample_rate=8000:duration=0.5", "small.wav"}, media);
    RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=0.5", "-c:a", "libmp3lame", "-b:a", "64k", "-id3v2_version", "3",
               "-metadata", std::string("title=") + kTitle, "-metadata", std::string("artist=") + kArtist,
               "-metadata", std::string("album=") + kAlbum, "-metadata", "date=2024", "song.mp3"},
              media);
    RunFfmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=0.5", "-f", "lavfi", "-i",
               "sine=duration=0.5", "-c:v", "mpeg4", "-c:a", "pcm_s16le", "clip.avi"},
              media);
    {
        std::string noise(16384, '\0');
        unsigned seed = 7;
        for (char& c : noise) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
        std::ofstream(media / "corrupt.wav", std::ios::binary) << "RIFF" << noise;
        std::ofstream(media / "corrupt.mp3", std::ios::binary) << noise;
    }

    // The encoder behind a wrapper that floods or hangs by the input's name.
    const fs::path hang = bin / "ffmpeg-hang";
    std::ofstream(hang) << "#!/bin/sh\nexec sleep 100000\n";
    const fs::path wrapper = bin / "qorvane-cscript";
    std::ofstream(wrapper) << "#!/bin/sh\n"
                           << "case \"$*\" in *FLOOD*)\n"
                           << "  yes 'flood: an encoder that talks too much on its error output' | head -c 104857600 >&2 ;;\n"
                           << "esac\n"
                           << "case \"$*\" in *HANG*) QORVANE_FFMPEG='" << hang.string() << "'; export QORVANE_FFMPEG ;; esac\n"
                           << "exec '" << QORVANE_ENCODER_DIR << "/qorvane-cscript' \"$@\"\n";
    for (const fs::path& script : {hang, wrapper}) fs::permissions(script, fs::perms::owner_all);
    const fs::path registry = work / "registry.ini";
    std::ofstream(registry) << "[software\\Microsoft\\Windows Media\\Encoder]\nInstallDir=" << QORVANE_ENCODER_DIR
                            << "/\nVersion=9.0\n";
    const fs::path profile = work / "chaos.wpf";
    std::ofstream(profile) << "[audio]\nmode=1\nbitrate=14\n[video]\nmode=1\nbitrate=250\n";
    const fs::path log = work / "encoder.log";

    // The jobs.
    std::vector<Job> jobs;
    const fs::path fullDir = disk.mounted() ? work / "full" : in;
    for (int i = 0; i < jobCount; ++i) {
        Job job;
        const std::string n = Padded(i);
        std::string name;
        std::string source = "tone.wav";
        fs::path dir = in;
        if (i == jobCount - 1) {
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
                case 13: name = "full-" + n + ".wav", source = "small.wav", dir = fullDir, job.kind = Kind::FullDisk; break;
                case 14: name = JapaneseName(i, ".wav"), source = "small.wav", dir = fullDir, job.kind = Kind::FullDisk; break;
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
        if (job.kind != Kind::Missing) Copy(media / source, job.input);
        jobs.push_back(job);
    }
    if (disk.mounted()) FillUpTo(work / "full", 16 * 1024);  // room for about three outputs

    // The batch.
    ProgramRun run;
    run.program = QORVANE_CLI_PATH;
    run.argv = {QORVANE_CLI_PATH, "encode", "--profile", profile.string()};
    for (const Job& job : jobs) run.argv.push_back(job.input.string());
    run.workingDirectory = work.path();
    const char* path = std::getenv("PATH");
    run.environment = {{"QORVANE_REGISTRY", registry.string()},
                       {"QORVANE_LOG", log.string()},
                       {"PATH", bin.string() + ":" + (path ? path : "/usr/bin:/bin")}};
    run.outputFile = work / "stdout.txt";
    run.errorFile = work / "stderr.txt";
    const auto batchStart = Clock::now();
    const pid_t cli = StartProgram(run);

    // Watch it: figures after 50 jobs and while the last one hangs.
    const auto linesSoFar = [&] {
        const std::string out = Read(run.outputFile);
        return static_cast<int>(std::count(out.begin(), out.end(), '\n'));
    };
    const auto allButLastDone = [&] {
        const std::string out = Read(run.outputFile);
        for (std::size_t i = 0; i + 1 < jobs.size(); ++i) {
            if (out.find(jobs[i].input.string() + (jobs[i].kind == Kind::Quote || jobs[i].kind == Kind::Missing
                                                       ? ": "  // the reason follows
                                                       : " -> ")) == std::string::npos)
                return false;
        }
        return true;
    };
    ProcessFigures at50, atEnd;
    bool sampled50 = false;
    int faults = 0;
    const auto deadline = Clock::now() + std::chrono::minutes(14);
    while (Clock::now() < deadline) {
        if (!sampled50 && linesSoFar() >= 50) {
            // An encoder may be running or not: the most seen over a moment.
            for (int k = 0; k < 30; ++k) {
                const ProcessFigures now = Sample(cli);
                at50.peakRssMb = std::max(at50.peakRssMb, now.peakRssMb);
                at50.descriptors = std::max(at50.descriptors, now.descriptors);
                at50.zombieChildren = std::max(at50.zombieChildren, now.zombieChildren);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            sampled50 = true;
        }
        if (linesSoFar() >= jobCount - 1 && allButLastDone()) break;
        if (!IsAlive(cli)) break;  // it ended early: the checks below say what is missing
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const double batchSeconds = std::chrono::duration<double>(Clock::now() - batchStart).count();
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the hang has surely begun
    atEnd = Sample(cli);
    const bool hangRunning = !ProcessesIn(in, cli).empty();
    const auto stopAsked = Clock::now();
    ::kill(cli, SIGINT);
    const ProgramResult result = WaitProgram(cli, run);
    const double stopSeconds = std::chrono::duration<double>(Clock::now() - stopAsked).count();
    bool orphansGone = Eventually([&] { return ProcessesIn(work.path()).empty(); });
    const int orphans = orphansGone ? 0 : static_cast<int>(ProcessesIn(work.path()).size());

    // Every job accounted for.
    const std::string& out = result.output;
    std::map<std::string, int> verdicts;
    int encoded = 0, failedWithReason = 0, fullEncoded = 0, fullFailed = 0, tagsChecked = 0;
    std::size_t accountedBytes = 0;
    const std::string logText = Read(log);
    const std::vector<std::string> blocks = LogBlocks(logText);
    const auto report = [&](const Job& job, const std::string& what) {
        ++faults;
        std::fprintf(stderr, "job %s: %s\n", job.input.filename().c_str(), what.c_str());
    };
    for (const Job& job : jobs) {
        std::string verdict;
        for (const char* v : {"encoded", "failed", "skipped", "aborted"}) {
            const std::string start = LineOf(v, job);
            for (std::size_t at = out.find(start); at != std::string::npos; at = out.find(start, at + 1)) {
                if (at > 0 && out[at - 1] != '\n') continue;
                if (const std::string line = LineAt(out, at, start); !line.empty()) {
                    verdict = v;
                    accountedBytes += line.size();
                    break;
                }
            }
        }
        ++verdicts[verdict.empty() ? "unaccounted" : verdict];
        std::vector<std::string> allowed;
        switch (job.kind) {
            case Kind::Good:
            case Kind::Flood: allowed = {"encoded"}; break;
            case Kind::Quote:
            case Kind::Missing: allowed = {"skipped"}; break;
            case Kind::Corrupt: allowed = {"failed"}; break;
            case Kind::FullDisk: allowed = disk.mounted() ? std::vector<std::string>{"encoded", "failed"}
                                                          : std::vector<std::string>{"encoded"};
                break;
            case Kind::Hang: allowed = {"aborted"}; break;
        }
        if (std::find(allowed.begin(), allowed.end(), verdict) == allowed.end()) {
            report(job, "line \"" + verdict + "\", expected " + allowed.front());
            continue;
        }
        std::error_code ec;
        if (verdict != "encoded") {
            if (fs::exists(job.output, ec)) report(job, "output left by a run that gave none");
            if (job.kind == Kind::FullDisk) ++fullFailed;
        }
        if (verdict == "failed") {
            // The encoder's reason, in the log block of its run.
            const auto block = std::find_if(blocks.begin(), blocks.end(), [&](const std::string& b) {
                return b.find("\"" + job.input.string() + "\"") != std::string::npos;
            });
            if (block != blocks.end() && block->find("finished: failed: ") != std::string::npos &&
                block->find("exited with code 1") != std::string::npos) {
                ++failedWithReason;
            } else {
                report(job, "no reason in the log");
            }
        }
        if (verdict != "encoded") continue;
        ++encoded;
        if (job.kind == Kind::FullDisk) ++fullEncoded;
        // The probing tools keep their output beside the file: not on the full disk.
        fs::path probeFile = job.output;
        if (job.kind == Kind::FullDisk) {
            probeFile = work / "probe" / job.output.filename();
            fs::create_directories(probeFile.parent_path());
            fs::copy_file(job.output, probeFile, fs::copy_options::overwrite_existing);
        }
        const ProbedMedia probed = Probe(probeFile);
        if (!probed.readable || probed.formatName != "asf" || !probed.first("audio") ||
            (job.video && !probed.first("video"))) {
            report(job, "output is not the ASF file expected");
            continue;
        }
        const std::map<std::string, std::string> tags = ProbeTags(probeFile);
        const auto tag = [&](const char* key) {
            const auto found = tags.find(key);
            return found == tags.end() ? std::string() : found->second;
        };
        const bool tagsRight = job.mp3 ? tag("title") == kTitle && tag("artist") == kArtist &&
                                             tag("album") == kAlbum && tag("WM/Year") == "2024"
                                       : tag("title").empty() && tag("artist").empty();
        if (!tagsRight) report(job, "tags: title \"" + tag("title") + "\", artist \"" + tag("artist") + "\"");
        ++tagsChecked;
    }
    if (accountedBytes != out.size()) {
        ++faults;
        std::fprintf(stderr, "output holds %zu bytes beyond the jobs' lines:\n%s\n", out.size() - accountedBytes,
                     out.c_str());
    }

    // Nothing in the folders but inputs and outputs.
    std::vector<fs::path> expected;
    for (const Job& job : jobs) {
        expected.push_back(job.input);
        expected.push_back(job.output);
    }
    int strays = 0;
    for (const fs::path& dir : {in, fullDir}) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name == ".filler") continue;
            if (std::find(expected.begin(), expected.end(), entry.path()) == expected.end()) {
                ++strays;
                std::fprintf(stderr, "left in %s: %s\n", dir.filename().c_str(), name.c_str());
            }
        }
    }
    faults += strays;

    // The log: one block per run that started the encoder, each with its end.
    const int runsStarted = verdicts["encoded"] + verdicts["failed"] + verdicts["aborted"];
    int ended = 0;
    for (const std::string& b : blocks) {
        if (b.find("\n-- process ") != std::string::npos) ++ended;
    }
    const bool logComplete = static_cast<int>(blocks.size()) == runsStarted && ended == runsStarted;
    if (!logComplete) ++faults;

    // Only the missing inputs may be complained of on the error stream.
    int errorLines = 0, expectedErrors = 0;
    for (const Job& job : jobs) expectedErrors += job.kind == Kind::Missing;
    {
        std::istringstream errors(result.errors);
        for (std::string line; std::getline(errors, line);) {
            ++errorLines;
            if (line.find("missing-") == std::string::npos) {
                ++faults;
                std::fprintf(stderr, "error output: %s\n", line.c_str());
            }
        }
    }
    if (errorLines != expectedErrors) ++faults;

    if (result.exitCode != 128 + SIGINT) ++faults;
    if (!hangRunning) ++faults;
    if (orphans > 0 || at50.zombieChildren > 0 || atEnd.zombieChildren > 0) ++faults;
    if (atEnd.descriptors > at50.descriptors) ++faults;
    if (atEnd.peakRssMb - at50.peakRssMb > 5.0) ++faults;

    // A short batch into an output folder that cannot be made.
    const fs::path blocked = work.write("not-a-folder", "x");
    ProgramRun second = run;
    second.argv = {QORVANE_CLI_PATH, "encode", "--profile", profile.string(), "--out", (blocked / "sub").string()};
    const int blockedJobs = 20;
    for (int i = 0; i < blockedJobs; ++i) {
        const fs::path input = work / ("blocked-" + Padded(i) + ".wav");
        Copy(media / "tone.wav", input);
        second.argv.push_back(input.string());
    }
    second.outputFile = work / "stdout2.txt";
    second.errorFile = work / "stderr2.txt";
    const ProgramResult blockedResult = RunProgram(second);
    int blockedSkipped = 0, blockedWarnings = 0;
    for (std::size_t at = 0; (at = blockedResult.output.find("skipped: ", at)) != std::string::npos; ++at) ++blockedSkipped;
    for (std::size_t at = 0; (at = blockedResult.errors.find("フォルダを作成できません", at)) != std::string::npos; ++at) {
        ++blockedWarnings;
    }
    const bool blockedRight = blockedResult.exitCode == 1 && blockedSkipped == blockedJobs &&
                              blockedWarnings == blockedJobs && fs::is_regular_file(blocked);
    if (!blockedRight) ++faults;

    std::printf("chaos batch: %d jobs through qorvane-cli encode in %.0f s (+%d into a folder that cannot be made)\n",
                jobCount, batchSeconds, blockedJobs);
    std::printf("  lines: encoded %d, failed %d, skipped %d, aborted %d, unaccounted %d\n", verdicts["encoded"],
                verdicts["failed"], verdicts["skipped"], verdicts["aborted"], verdicts["unaccounted"]);
    std::printf("  encoded outputs checked with ffprobe (ASF, streams, tags): %d of %d\n", tagsChecked, encoded);
    std::printf("  failed runs with the encoder's reason in the log: %d of %d\n", failedWithReason, verdicts["failed"]);
    std::printf("  nearly full disk (%s): encoded %d, failed %d; stray or partial files anywhere: %d\n",
                disk.mounted() ? "768 KiB tmpfs" : "not tested: needs root for the tmpfs", fullEncoded, fullFailed,
                strays);
    std::printf("  log: %zu runs, %d with their end, %d encoder runs started; %zu KiB\n", blocks.size(), ended,
                runsStarted, logText.size() / 1024);
    std::printf("  CLI after 50 jobs: peak RSS %.1f MiB, %d descriptors; before the last: %.1f MiB, %d descriptors\n",
                at50.peakRssMb, at50.descriptors, atEnd.peakRssMb, atEnd.descriptors);
    std::printf("  zombie children of the CLI: %d / %d; processes of the batch left after it: %d\n",
                at50.zombieChildren, atEnd.zombieChildren, orphans);
    std::printf("  hung encoder %s; SIGINT -> CLI ended in %.2f s with status %d\n",
                hangRunning ? "was running" : "NOT SEEN", stopSeconds, result.exitCode);
    std::printf("  folder that cannot be made: %d skipped, %d warnings, status %d\n", blockedSkipped, blockedWarnings,
                blockedResult.exitCode);
    std::printf("  error output lines: %d (expected %d, the missing inputs)\n", errorLines, expectedErrors);
    std::printf("faults: %d   (total %.0f s)\n", faults,
                std::chrono::duration<double>(Clock::now() - started).count());
    return faults == 0 ? 0 : 1;
}
