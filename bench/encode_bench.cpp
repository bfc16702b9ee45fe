// encode_bench: what the batch front end costs on top of the encoding itself.
//
// Twenty short jobs (ten 2 s WAV files, ten 2 s MP3 files with ID3v2 tags)
// go through `qorvane-cli encode` (batch runner, encode thread, the stand-in
// script host, ffmpeg, the tag writer, the batch log) and, for comparison,
// the very same ffmpeg runs are started one after the other in a plain loop.
// The ffmpeg argument vectors of the loop come from the stand-in encoder's
// own translation (ParseEncoderArguments + BuildFfmpegRuns) applied to the
// command lines the batch runner builds for these jobs, so both sides encode
// exactly the same; only the output is written straight to its final name.
// The two sides alternate over several rounds; the ratio of the median wall
// times is the figure (target: at most 1.02). The processor time of each
// side is printed too: it moves less when other work shares the machine.
//
// Usage: encode_bench [ROUNDS [SECONDS]]   (defaults 5 rounds, 2 s per file).
//
// encode_bench parallel [ROUNDS [JOBS]]: several runs at once. Twenty audio
// jobs and twenty short video jobs go through `qorvane-cli encode --jobs
// JOBS` (default 2), against the same ffmpeg runs in a sequential shell loop
// and through `xargs -P JOBS`; the two ffmpeg sides also run once more with
// every ffmpeg held to one thread, to see whether ffmpeg's own threads fight
// the parallel runs. Targets on two processors: at most 0.6 of the loop's
// wall time, within 5 % of xargs.
//
// Needs ffmpeg on PATH (and xargs for the parallel case).

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "encode/encoding_profile.h"
#include "encode/run_planner.h"
#include "stand_in_encoder/encoder_options.h"
#include "stand_in_encoder/ffmpeg_command.h"
#include "profiles/profile_settings.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Argv = std::vector<std::string>;

constexpr int kJobs = 20;

// Runs a program (searched on PATH) with its output discarded; its exit status.
int RunQuietly(const Argv& arguments, char* const* environment) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) throw std::runtime_error("cannot start " + arguments.front());
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("waitpid failed");
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Require(int status, const std::string& what) {
    if (status != 0) throw std::runtime_error(what + " failed (status " + std::to_string(status) + ")");
}

// The environment of qorvane-cli: the registry file, the log, the encoder on PATH.
class CliEnvironment {
public:
    CliEnvironment(const fs::path& registry, const fs::path& log) {
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            if (text.starts_with("QORVANE_REGISTRY=") || text.starts_with("QORVANE_LOG=") ||
                text.starts_with("PATH="))
                continue;
            texts_.push_back(text);
        }
        const char* path = std::getenv("PATH");
        texts_.push_back("QORVANE_REGISTRY=" + registry.string());
        texts_.push_back("QORVANE_LOG=" + log.string());
        texts_.push_back(std::string("PATH=") + QORVANE_ENCODER_DIR + ":" + (path ? path : "/usr/bin:/bin"));
        for (std::string& text : texts_) pointers_.push_back(text.data());
        pointers_.push_back(nullptr);
    }
    char* const* get() const { return pointers_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
};

// A registry file in `work` that names the built stand-in encoder, and the
// environment that points qorvane-cli at it.
CliEnvironment RegisteredEncoder(const fs::path& work) {
    const fs::path registry = work / "registry.ini";
    std::ofstream(registry) << "[software\\Microsoft\\Windows Media\\Encoder]\nInstallDir=" << QORVANE_ENCODER_DIR
                            << "/\nVersion=9.0.0.2980\n";
    return CliEnvironment(registry, work / "batch.log");
}

// The ffmpeg runs that the stand-in encoder makes for the runs of one job of
// the batch.
std::vector<Argv> FfmpegRunsFor(const fs::path& input, const qorvane::EncodingProfile& profile,
                                const fs::path& outDir, const fs::path& passLog) {
    const qorvane::EncoderLocation encoder{std::string(QORVANE_ENCODER_DIR) + "/wmcmd.vbs", {}, false};
    std::vector<Argv> ffmpegRuns;
    for (const qorvane::PlannedRun& run : qorvane::PlanRuns(profile, {input, input.filename().string()}, encoder)) {
        if (!run.commandLine) throw std::runtime_error("no command line for " + input.string());
        const Argv argv = run.commandLine->argv();  // cscript.exe SCRIPT options...
        const auto parsed = qorvane::encoder::ParseEncoderArguments(Argv(argv.begin() + 2, argv.end()));
        if (!parsed.settings) throw std::runtime_error(parsed.error);
        qorvane::encoder::FfmpegTarget target;
        target.output = (outDir / run.outputName()).string();
        target.passLog = passLog.string();
        for (Argv& ffmpegRun : qorvane::encoder::BuildFfmpegRuns(*parsed.settings, target)) {
            ffmpegRuns.push_back(std::move(ffmpegRun));
        }
    }
    return ffmpegRuns;
}

// Processor time (user and system) of every child waited for so far, and of
// their own waited-for children: on a busy machine a steadier figure than
// the wall time.
double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wall time and processor time of one side of one round.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void FreshDirectory(const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir);
}

// One ffmpeg run as a line of shell, every argument quoted.
std::string ShellLine(const Argv& run) {
    std::string line = "exec";
    for (const std::string& argument : run) {
        line += " '";
        for (const char c : argument) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        line += '\'';
    }
    return line + " </dev/null >/dev/null 2>&1\n";
}

// The same run with ffmpeg's decoders and encoders held to one thread each.
Argv OneThread(Argv run) {
    run.insert(run.end() - 1, {"-threads", "1"});
    const auto input = std::find(run.begin(), run.end(), "-i");
    if (input != run.end()) run.insert(input, {"-threads", "1"});
    return run;
}

int BenchParallel(const fs::path& work, int rounds, int jobs);

int Bench(const fs::path& work, int rounds, int seconds) {
    const std::string sine = "sine=duration=" + std::to_string(seconds);
    // Media: one of each kind made by ffmpeg, copied under twenty names.
    const fs::path media = work / "media";
    fs::create_directories(media);
    Require(RunQuietly({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i", sine, "-ac", "2", (work / "tone.wav").string()},
                       environ),
            "making the WAV file");
    Require(RunQuietly({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i", sine, "-ac", "2",
                        "-c:a", "libmp3lame", "-b:a", "128k", "-id3v2_version", "3", "-metadata",
                        "title=ベンチの歌", "-metadata", "artist=Bench", "-metadata", "date=2024", "-metadata",
                        "genre=Rock", "-metadata", "track=4", (work / "song.mp3").string()},
                       environ),
            "making the MP3 file");
    std::vector<fs::path> inputs;
    for (int i = 0; i < kJobs; ++i) {
        const bool wav = i % 2 == 0;
        const fs::path input = media / ((wav ? "tone " : "song ") + std::to_string(i) + (wav ? ".wav" : ".mp3"));
        fs::copy_file(work / (wav ? "tone.wav" : "song.mp3"), input);
        inputs.push_back(input);
    }

    const fs::path profileFile = work / "bench.wpf";
    std::ofstream(profileFile) << "[audio]\nmode=1\nbitrate=14\n";  // 64_44_2: wmav2 at 64 kbps
    const CliEnvironment cliEnvironment = RegisteredEncoder(work);

    const fs::path cliOut = work / "cli-out";
    const fs::path loopOut = work / "loop-out";
    Argv cli = {QORVANE_CLI_PATH, "encode", "--profile", profileFile.string(), "--out", cliOut.string()};
    for (const fs::path& input : inputs) cli.push_back(input.string());

    const auto profile = qorvane::PrepareEncodingProfile(qorvane::LoadProfile(profileFile));
    std::vector<Argv> loop;
    for (const fs::path& input : inputs) {
        for (Argv& run : FfmpegRunsFor(input, profile, loopOut, work / "pass")) loop.push_back(std::move(run));
    }

    std::printf("encode_bench: %d jobs (%d x %d s WAV, %d x %d s MP3 with ID3v2 tags), %zu ffmpeg runs, "
                "%d rounds, build: %s\n",
                kJobs, kJobs / 2, seconds, kJobs / 2, seconds, loop.size(), rounds, QORVANE_BENCH_BUILD_TYPE);
    std::printf("first ffmpeg run: %s\n", qorvane::encoder::RenderCommand(loop.front()).c_str());

    auto measure = [](const auto& side) {
        const double cpuBefore = ChildrenCpuSeconds();
        const auto begin = Clock::now();
        side();
        return Timing{std::chrono::duration<double>(Clock::now() - begin).count(), ChildrenCpuSeconds() - cpuBefore};
    };
    auto timeCli = [&] {
        FreshDirectory(cliOut);
        return measure([&] { Require(RunQuietly(cli, cliEnvironment.get()), "qorvane-cli encode"); });
    };
    auto timeLoop = [&] {
        FreshDirectory(loopOut);
        return measure([&] {
            for (const Argv& run : loop) Require(RunQuietly(run, environ), "ffmpeg");
        });
    };

    timeCli();  // warm the caches once, unmeasured
    timeLoop();
    std::vector<Timing> cliTimes;
    std::vector<Timing> loopTimes;
    for (int round = 0; round < rounds; ++round) {
        // Alternate which side goes first, so drift hits both alike.
        if (round % 2 == 0) {
            cliTimes.push_back(timeCli());
            loopTimes.push_back(timeLoop());
        } else {
            loopTimes.push_back(timeLoop());
            cliTimes.push_back(timeCli());
        }
        const Timing& c = cliTimes.back();
        const Timing& l = loopTimes.back();
        std::printf("round %d: qorvane-cli %.3f s (cpu %.3f s), plain loop %.3f s (cpu %.3f s), ratio %.4f\n",
                    round + 1, c.wall, c.cpu, l.wall, l.cpu, c.wall / l.wall);
        std::fflush(stdout);
    }
    std::size_t made = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(cliOut)) ++made;
    if (made != inputs.size()) throw std::runtime_error("qorvane-cli left " + std::to_string(made) + " files");

    const auto median = [](const std::vector<Timing>& timings, double Timing::*field) {
        std::vector<double> values;
        for (const Timing& timing : timings) values.push_back(timing.*field);
        return Median(values);
    };
    const double cliWall = median(cliTimes, &Timing::wall);
    const double loopWall = median(loopTimes, &Timing::wall);
    const double cliCpu = median(cliTimes, &Timing::cpu);
    const double loopCpu = median(loopTimes, &Timing::cpu);
    std::printf("median wall: qorvane-cli %.3f s, plain loop %.3f s; front end %.1f ms per job\n", cliWall,
                loopWall, (cliWall - loopWall) * 1000.0 / kJobs);
    std::printf("median cpu:  qorvane-cli %.3f s, plain loop %.3f s; front end %.1f ms per job\n", cliCpu, loopCpu,
                (cliCpu - loopCpu) * 1000.0 / kJobs);
    std::printf("cpu-time ratio (medians): %.4f\n", cliCpu / loopCpu);
    std::printf("wall-time ratio (medians): %.4f (target <= 1.02)\n", cliWall / loopWall);
    return 0;
}

int BenchParallel(const fs::path& work, int rounds, int jobs) {
    const fs::path media = work / "media";
    fs::create_directories(media);
    Require(RunQuietly({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i", "sine=duration=2", "-ac", "2",
                        (work / "tone.wav").string()},
                       environ),
            "making the WAV file");
    Require(RunQuietly({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i", "sine=duration=2", "-ac", "2",
                        "-c:a", "libmp3lame", "-b:a", "128k", "-id3v2_version", "3", "-metadata", "title=ベンチの歌",
                        (work / "song.mp3").string()},
                       environ),
            "making the MP3 file");
    Require(RunQuietly({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=2",
                        "-f", "lavfi", "-i", "sine=duration=2", "-c:v", "mpeg4", "-c:a", "pcm_s16le",
                        (work / "clip.avi").string()},
                       environ),
            "making the AVI file");
    std::vector<fs::path> inputs;
    for (int i = 0; i < kJobs; ++i) {
        const std::string audio = i % 2 == 0 ? "tone.wav" : "song.mp3";
        inputs.push_back(media / (std::to_string(i) + " " + audio));
        fs::copy_file(work / audio, inputs.back());
        inputs.push_back(media / (std::to_string(i) + " clip.avi"));
        fs::copy_file(work / "clip.avi", inputs.back());
    }
    const fs::path profileFile = work / "bench.wpf";
    std::ofstream(profileFile) << "[audio]\nmode=1\nbitrate=14\n[video]\nmode=1\nbitrate=250\n";
    const CliEnvironment cliEnvironment = RegisteredEncoder(work);

    const fs::path cliOut = work / "cli-out";
    const fs::path shellOut = work / "shell-out";
    Argv cli = {QORVANE_CLI_PATH, "encode", "--jobs", std::to_string(jobs), "--profile", profileFile.string(),
                "--out", cliOut.string()};
    for (const fs::path& input : inputs) cli.push_back(input.string());

    // Each ffmpeg run a script of its own: the loop runs them in order,
    // xargs several at a time; the same again with one thread per ffmpeg.
    const auto profile = qorvane::PrepareEncodingProfile(qorvane::LoadProfile(profileFile));
    const fs::path scripts = work / "scripts";
    fs::create_directories(scripts);
    std::ofstream loop(work / "loop.sh");
    std::ofstream list(work / "list.txt");
    std::ofstream loop1(work / "loop-1thread.sh");
    std::ofstream list1(work / "list-1thread.txt");
    int runs = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        for (const Argv& run : FfmpegRunsFor(inputs[i], profile, shellOut, work / ("pass " + std::to_string(i)))) {
            const fs::path script = scripts / (std::to_string(runs) + ".sh");
            const fs::path script1 = scripts / (std::to_string(runs) + "-1thread.sh");
            ++runs;
            std::ofstream(script) << ShellLine(run);
            std::ofstream(script1) << ShellLine(OneThread(run));
            loop << "sh '" << script.string() << "' || exit 1\n";
            loop1 << "sh '" << script1.string() << "' || exit 1\n";
            list << script.string() << "\n";
            list1 << script1.string() << "\n";
        }
    }
    loop.close();
    list.close();
    loop1.close();
    list1.close();
    const std::string parallelism = std::to_string(jobs);
    struct Side {
        const char* name;
        Argv command;
        fs::path out;
    };
    const std::vector<Side> sides = {
        {"qorvane-cli --jobs", cli, cliOut},
        {"shell loop", {"sh", (work / "loop.sh").string()}, shellOut},
        {"xargs -P", {"xargs", "-P", parallelism, "-n", "1", "-a", (work / "list.txt").string(), "sh"}, shellOut},
        {"shell loop, 1 thread", {"sh", (work / "loop-1thread.sh").string()}, shellOut},
        {"xargs -P, 1 thread",
         {"xargs", "-P", parallelism, "-n", "1", "-a", (work / "list-1thread.txt").string(), "sh"}, shellOut},
    };
    std::printf("encode_bench parallel: %zu jobs (%d audio, %d video of 2 s 320x240), %d ffmpeg runs, %d at a time, "
                "%d rounds, %u processors, build: %s\n",
                inputs.size(), kJobs, kJobs, runs, jobs, rounds, std::thread::hardware_concurrency(),
                QORVANE_BENCH_BUILD_TYPE);

    auto time = [&](const Side& side) {
        FreshDirectory(side.out);
        const double cpuBefore = ChildrenCpuSeconds();
        const auto begin = Clock::now();
        Require(RunQuietly(side.command, side.out == cliOut ? cliEnvironment.get() : environ), side.name);
        const Timing timing{std::chrono::duration<double>(Clock::now() - begin).count(), ChildrenCpuSeconds() - cpuBefore};
        std::size_t made = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(side.out)) ++made;
        if (made != inputs.size()) throw std::runtime_error(std::string(side.name) + " left " + std::to_string(made) + " files");
        return timing;
    };
    time(sides[0]);  // warm the caches once, unmeasured
    std::vector<std::vector<double>> walls(sides.size());
    for (int round = 0; round < rounds; ++round) {
        std::printf("round %d:", round + 1);
        for (std::size_t k = 0; k < sides.size(); ++k) {
            // Each round starts with another side, so drift hits all alike.
            const std::size_t side = (k + static_cast<std::size_t>(round)) % sides.size();
            const Timing timing = time(sides[side]);
            walls[side].push_back(timing.wall);
            std::printf("  %s %.2f s (cpu %.2f s)", sides[side].name, timing.wall, timing.cpu);
            std::fflush(stdout);
        }
        std::printf("\n");
    }
    std::vector<double> medians;
    for (std::size_t k = 0; k < sides.size(); ++k) {
        medians.push_back(Median(walls[k]));
        std::printf("median wall %-22s %.3f s\n", sides[k].name, medians.back());
    }
    std::printf("qorvane-cli / shell loop: %.3f (target <= 0.6)\n", medians[0] / medians[1]);
    std::printf("qorvane-cli / xargs -P:   %.3f (target <= 1.05)\n", medians[0] / medians[2]);
    std::printf("one thread per ffmpeg: loop %.3f, xargs %.3f of the default threads\n", medians[3] / medians[1],
                medians[4] / medians[2]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool parallel = argc > 1 && std::string(argv[1]) == "parallel";
    if (parallel) {
        --argc;
        ++argv;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : parallel ? 3 : 5;
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;
    std::string pattern = (fs::temp_directory_path() / "qorvane-encode-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path work = pattern;
    int status = 1;
    try {
        status = parallel ? BenchParallel(work, rounds, seconds) : Bench(work, rounds, seconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "encode_bench: %s\n", error.what());
    }
    std::error_code ec;
    fs::remove_all(work, ec);
    return status;
}
