// chaos_batch: one long batch of every kind of trouble, through
// `qorvane-cli encode` or through the window on an offscreen display
// (QORVANE_RUN_BATCH), watched from outside as a user's script would see it.
//
// The jobs (chaos_setup.h) mix good WAV, MP3 (with ID3 tags) and AVI inputs
// under hostile names (quotes, "$()", ";", "#", a line break, bytes that are
// not UTF-8, 250-byte Japanese names), inputs that are gone, corrupt media
// that the encoder refuses, inputs on a nearly full disk (a small tmpfs,
// when run as root), an encoder that floods 100 MiB onto its error output
// and, last, one that hangs until the program is stopped with SIGINT. A
// second, short batch names an output folder that cannot be made.
//
// Checked afterwards: every job has its line (encoded, failed, skipped,
// aborted) as its kind demands; every encoded output is ASF with the tags of
// its job (ffprobe); a run that failed left no file and its reason is in the
// batch log; the log holds every run with its end; no process of the batch
// is left, and the program had no zombie child; its open descriptors and
// peak RSS after 50 jobs against those before the last. The window must
// also keep the job it was stopped in for its next start, which offers it.
//
// Usage: chaos_batch [--window] [--jobs N] [JOBS]   (default 500 jobs, one
// run at a time; N up to 4). Needs ffmpeg and ffprobe.

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/shell_escape.h"
#include "chaos_setup.h"
#include "support/small_disk.h"
#include "support/media_probe.h"
#include "support/media_tools.h"
#include "support/process_table.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace qorvane::testing;
using namespace qorvane::soak;

struct Options {
    bool window = false;
    int parallel = 1;
    int jobs = 500;
};

int faults = 0;

void Fault(const char* format, ...) {
    ++faults;
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
}

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct ProcessFigures {
    // The descriptors a run holds while its encoder goes: its output pipe
    // and the process's pidfd (the output is kept in memory, and the log is
    // written once, when the run ends).
    static constexpr int kPerRun = 2;

    double peakRssMb = 0;
    int descriptors = 0;
    int children = 0;        // alive
    int zombieChildren = 0;  // seen twice, a moment apart: not merely on their way to being reaped

    int ownDescriptors() const { return descriptors - kPerRun * children; }
};

std::vector<pid_t> Zombies(pid_t parent) {
    std::vector<pid_t> found;
    for (const auto& p : AllProcesses()) {
        if (p.parent == parent && p.state == 'Z') found.push_back(p.pid);
    }
    return found;
}

ProcessFigures Sample(pid_t pid) {
    ProcessFigures f;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) f.peakRssMb = std::stol(line.substr(6)) / 1024.0;
    }
    std::error_code ec;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        ++f.descriptors;
    }
    std::vector<pid_t> zombies;
    for (const auto& p : AllProcesses()) {
        if (p.parent != pid) continue;
        if (p.state == 'Z') zombies.push_back(p.pid);
        else ++f.children;
    }
    if (!zombies.empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        for (const pid_t z : Zombies(pid)) f.zombieChildren += std::count(zombies.begin(), zombies.end(), z) > 0;
    }
    return f;
}

// Processes whose command line or working directory lies in `dir`, but for
// `except` (the program, whose command line names every input).
std::vector<pid_t> ProcessesIn(const fs::path& dir, pid_t except = 0) {
    std::vector<pid_t> found;
    const std::string mark = dir.string();
    for (const auto& p : AllProcesses()) {
        if (p.pid == except || p.pid == ::getpid() || p.state == 'Z') continue;
        const std::string proc = "/proc/" + std::to_string(p.pid);
        std::error_code ec;
        const std::string cwd = fs::read_symlink(proc + "/cwd", ec).string();
        if (ReadText(proc + "/cmdline").find(mark) != std::string::npos || cwd.starts_with(mark)) {
            found.push_back(p.pid);
        }
    }
    return found;
}

// The program that runs a batch: the CLI, or a portable copy of the window
// program with its settings beside it (the output folder, the profile, the
// runs at once) and its user folders in the work folder.
ProgramRun FrontEnd(const ChaosSetup& s, const Options& o, const std::vector<fs::path>& inputs,
                    const std::string& outDir, const std::string& name) {
    ProgramRun run;
    run.workingDirectory = s.work;
    const char* path = std::getenv("PATH");
    run.environment = {{"QORVANE_REGISTRY", s.registry.string()},
                       {"QORVANE_LOG", s.log.string()},
                       {"LANGUAGE", "ja"},
                       {"PATH", s.bin.string() + ":" + (path ? path : "/usr/bin:/bin")}};
    run.outputFile = s.work / ("stdout-" + name + ".txt");
    run.errorFile = s.work / ("stderr-" + name + ".txt");
    if (!o.window) {
        run.program = QORVANE_CLI_PATH;
        // The nearly full disk is part of the test: no refusal up front.
        run.argv = {QORVANE_CLI_PATH, "encode", "--ignore-space", "--profile", s.profile.string(),
                    "--jobs", std::to_string(o.parallel)};
        if (!outDir.empty()) run.argv.insert(run.argv.end(), {"--out", outDir});
    } else {
#ifdef QORVANE_PROGRAM_PATH
        const fs::path app = s.work / "app";
        fs::create_directories(app / "Profile");
        fs::create_directories(s.work / "runtime");
        fs::permissions(s.work / "runtime", fs::perms::owner_all);
        if (!fs::exists(app / "qorvane")) fs::copy_file(QORVANE_PROGRAM_PATH, app / "qorvane");
        fs::copy_file(s.profile, app / "Profile" / "chaos.wpf", fs::copy_options::overwrite_existing);
        std::ofstream(app / "qorvane.ini") << "[env]\ndir=" << outDir << "\nprof=chaos\nparallel=" << o.parallel
                                           << "\n";
        run.program = app / "qorvane";
        run.argv = {run.program.string()};
        run.environment.insert({{"QT_QPA_PLATFORM", "offscreen"},
                                {"QORVANE_MESSAGE_BOXES", "stderr"},
                                {"QORVANE_RUN_BATCH", "1"},
                                {"HOME", s.work.string()},
                                {"XDG_RUNTIME_DIR", (s.work / "runtime").string()},
                                {"XDG_CONFIG_HOME", (s.work / "config").string()},
                                {"XDG_STATE_HOME", (s.work / "state").string()},
                                {"XDG_CACHE_HOME", (s.work / "cache").string()}});
#else
        std::fprintf(stderr, "this build has no window program\n");
        std::exit(2);
#endif
    }
    for (const fs::path& input : inputs) run.argv.push_back(input.string());
    return run;
}

// How the line a job gets begins: "encoded: IN -> OUT"; a failed or skipped
// job's line goes on with ": " and the reason.
// Names that could break a line are printed quoted, as a shell reads them.
std::string LineOf(const std::string& verdict, const Job& job) {
    std::string line = verdict + ": " + qorvane::ShellEscapeIfUnsafe(job.input.string());
    if (verdict != "skipped") line += " -> " + qorvane::ShellEscapeIfUnsafe(job.output.string());
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

// One run in the batch log: its start ("==== time ====", the command line,
// "-- process PID started") and, found by its process since other runs may
// write between the two, its output and end line.
struct LoggedRun {
    std::string start;
    std::string end;  // empty while it has none
};

std::vector<LoggedRun> LoggedRuns(const std::string& log) {
    std::vector<LoggedRun> runs;
    const std::string mark = "\n-- process ";
    for (std::size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) {
        const std::size_t numberEnd = log.find(' ', at + mark.size());
        if (numberEnd == std::string::npos || log.compare(numberEnd, 9, " started\n") != 0) continue;
        const std::string pid = log.substr(at + mark.size(), numberEnd - at - mark.size());
        const std::size_t header = log.rfind("==== ", at);
        LoggedRun run{log.substr(header, numberEnd + 9 - header), {}};
        std::size_t endLine = log.find(mark + pid + " ", numberEnd);  // "exited ...", "ended ..."
        while (endLine != std::string::npos && log.compare(endLine + mark.size() + pid.size(), 9, " started\n") == 0) {
            endLine = log.find(mark + pid + " ", endLine + 1);  // the number used again by a later run
        }
        if (endLine != std::string::npos) {
            const std::size_t output = log.find("-- output of process " + pid + ":\n", numberEnd);
            const std::size_t from = output < endLine ? output : endLine + 1;
            run.end = log.substr(from, log.find('\n', endLine + 1) + 1 - from);
        }
        runs.push_back(std::move(run));
    }
    return runs;
}

struct Watched {
    ProcessFigures at50;
    ProcessFigures atEnd;
    double batchSeconds = 0;
    bool hangRunning = false;
};

// Waits until every job but the hanging last one has its line, taking the
// program's figures after 50 lines and at the end.
Watched Watch(pid_t pid, const ProgramRun& run, const std::vector<Job>& jobs) {
    Watched w;
    const auto start = Clock::now();
    const auto allButLastDone = [&](const std::string& out) {
        if (static_cast<std::size_t>(std::count(out.begin(), out.end(), '\n')) + 1 < jobs.size()) return false;
        for (std::size_t i = 0; i + 1 < jobs.size(); ++i) {
            const bool reasonOnly = jobs[i].kind == Kind::Quote || jobs[i].kind == Kind::Missing;
            if (out.find(qorvane::ShellEscapeIfUnsafe(jobs[i].input.string()) + (reasonOnly ? ": " : " -> ")) == std::string::npos) {
                return false;
            }
        }
        return true;
    };
    // After 50 lines, over 30 moments: the most memory, and the descriptors
    // the program holds besides its runs' own, as most often seen (a run
    // starting or ending holds part of its own or holds them a moment
    // longer than its encoder lives).
    std::map<int, int> seen;
    const auto deadline = start + std::chrono::minutes(14);
    while (Clock::now() < deadline && IsAlive(pid)) {  // ended early: the checks say what is missing
        const std::string out = ReadText(run.outputFile);
        if (seen.empty() && std::count(out.begin(), out.end(), '\n') >= 50) {
            for (int k = 0; k < 30; ++k, std::this_thread::sleep_for(std::chrono::milliseconds(7))) {
                const ProcessFigures now = Sample(pid);
                w.at50.peakRssMb = std::max(w.at50.peakRssMb, now.peakRssMb);
                w.at50.zombieChildren = std::max(w.at50.zombieChildren, now.zombieChildren);
                ++seen[now.ownDescriptors()];
            }
            w.at50.descriptors = std::max_element(seen.begin(), seen.end(), [](const auto& a, const auto& b) {
                                     return a.second < b.second;
                                 })->first;
        }
        if (allButLastDone(out)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    w.batchSeconds = SecondsSince(start);
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the hang has surely begun
    w.atEnd = Sample(pid);
    w.hangRunning = !ProcessesIn(jobs.back().input.parent_path(), pid).empty();
    return w;
}

struct Accounted {
    std::map<std::string, int> verdicts;
    int encoded = 0, failedWithReason = 0, fullEncoded = 0, fullFailed = 0, tagsChecked = 0;
};

// The encoded output: ASF, with the streams and tags of its job.
void CheckOutput(const ChaosSetup& s, const Job& job) {
    // The probing tools keep their output beside the file: not on the full disk.
    fs::path probeFile = job.output;
    if (job.kind == Kind::FullDisk) {
        probeFile = s.work / "probe" / job.output.filename();
        fs::create_directories(probeFile.parent_path());
        fs::copy_file(job.output, probeFile, fs::copy_options::overwrite_existing);
    }
    const ProbedMedia probed = Probe(probeFile);
    if (!probed.readable || probed.formatName != "asf" || !probed.first("audio") ||
        (job.video && !probed.first("video"))) {
        return Fault("job %s: output is not the ASF file expected", job.input.filename().c_str());
    }
    const std::map<std::string, std::string> tags = ProbeTags(probeFile);
    const auto tag = [&](const char* key) {
        const auto found = tags.find(key);
        return found == tags.end() ? std::string() : found->second;
    };
    const bool tagsRight = job.mp3 ? tag("title") == kTitle && tag("artist") == kArtist && tag("album") == kAlbum &&
                                         tag("WM/Year") == "2024"
                                   : tag("title").empty() && tag("artist").empty();
    if (!tagsRight) {
        Fault("job %s: tags: title \"%s\", artist \"%s\"", job.input.filename().c_str(), tag("title").c_str(),
              tag("artist").c_str());
    }
}

// Every job has exactly the line its kind allows, and the lines are all
// there is (but for the window's count of rows).
Accounted AccountForJobs(const ChaosSetup& s, const Options& o, const std::string& out,
                         const std::vector<LoggedRun>& logged, bool fullDisk) {
    Accounted a;
    std::size_t accountedBytes = 0;
    if (o.window) {
        const std::string rows = "rows: " + std::to_string(s.jobs.size()) + "\n";
        if (!out.starts_with(rows)) Fault("the window did not take every job: %s", out.substr(0, 20).c_str());
        accountedBytes += rows.size();
    }
    for (const Job& job : s.jobs) {
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
        // The window is stopped before the hanging run's end reaches it; its
        // next start offers that job back (checked below).
        const bool stopped = o.window && job.kind == Kind::Hang && verdict.empty();
        ++a.verdicts[stopped ? "stopped" : verdict.empty() ? "unaccounted" : verdict];
        std::vector<std::string> allowed;
        switch (job.kind) {
            case Kind::Good:
            case Kind::Flood: allowed = {"encoded"}; break;
            case Kind::Quote:
            case Kind::Missing: allowed = {"skipped"}; break;
            case Kind::Corrupt: allowed = {"failed"}; break;
            case Kind::FullDisk: allowed = fullDisk ? std::vector<std::string>{"encoded", "failed"}
                                                    : std::vector<std::string>{"encoded"};
                break;
            case Kind::Hang: allowed = {"aborted"}; break;
        }
        // The command line also lists the interrupted job among those not done.
        if (!o.window && job.kind == Kind::Hang) {
            const std::string notDone = "not done: " + qorvane::ShellEscapeIfUnsafe(job.input.string()) + "\n";
            if (out.find(notDone) == std::string::npos) Fault("job %s: not listed as not done", job.input.filename().c_str());
            else accountedBytes += notDone.size();
        }
        if (!stopped && std::find(allowed.begin(), allowed.end(), verdict) == allowed.end()) {
            Fault("job %s: line \"%s\", expected %s", job.input.filename().c_str(), verdict.c_str(),
                  allowed.front().c_str());
            continue;
        }
        std::error_code ec;
        if (verdict != "encoded") {
            if (fs::exists(job.output, ec)) Fault("job %s: output left by a run that gave none", job.input.filename().c_str());
            if (job.kind == Kind::FullDisk) ++a.fullFailed;
        }
        if (verdict == "failed") {
            // The encoder's reason, in the log block of its run.
            const auto run = std::find_if(logged.begin(), logged.end(), [&](const LoggedRun& r) {
                return r.start.find("\"" + job.input.string() + "\"") != std::string::npos;
            });
            if (run != logged.end() && run->end.find("finished: failed: ") != std::string::npos &&
                run->end.find("exited with code 1") != std::string::npos) {
                ++a.failedWithReason;
            } else {
                Fault("job %s: no reason in the log", job.input.filename().c_str());
            }
        }
        if (verdict != "encoded") continue;
        ++a.encoded;
        if (job.kind == Kind::FullDisk) ++a.fullEncoded;
        CheckOutput(s, job);
        ++a.tagsChecked;
    }
    if (accountedBytes != out.size()) {
        Fault("output holds %zu bytes beyond the jobs' lines:\n%s", out.size() - accountedBytes, out.c_str());
    }
    return a;
}

// Nothing in the folders but inputs and outputs.
int CountStrays(const ChaosSetup& s) {
    std::vector<fs::path> expected;
    for (const Job& job : s.jobs) expected.insert(expected.end(), {job.input, job.output});
    int strays = 0;
    for (const fs::path& dir : {s.in, s.fullDir}) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.path().filename() == "filler") continue;
            if (std::find(expected.begin(), expected.end(), entry.path()) == expected.end()) {
                ++strays;
                Fault("left in %s: %s", dir.filename().c_str(), entry.path().filename().c_str());
            }
        }
        if (dir == s.fullDir) break;
    }
    return strays;
}

// The program's messages on its error stream: the CLI tells only of the
// inputs missing when added; the window, whose inputs all went missing
// later, shows no message box at all ("qorv: ..."; Qt's own notes aside).
void CheckErrorStream(const ChaosSetup& s, const Options& o, const std::string& errors) {
    int lines = 0, expected = 0;
    for (const Job& job : s.jobs) expected += !o.window && job.kind == Kind::Missing;
    std::istringstream in(errors);
    for (std::string line; std::getline(in, line);) {
        if (o.window && !line.starts_with("qorv: ")) continue;
        ++lines;
        if (o.window || line.find("missing-") == std::string::npos) Fault("error output: %s", line.c_str());
    }
    if (lines != expected) Fault("%d lines on the error output, %d expected", lines, expected);
}

// The window stopped in the middle of the hanging job: its next start offers
// that job back.
bool WindowOffersTheStoppedJob(const ChaosSetup& s, const Options& o) {
    ProgramRun again = FrontEnd(s, o, {}, "", "restart");
    again.environment["QORVANE_RUN_BATCH"] = "";
    again.environment["QORVANE_STARTUP_REPORT"] = "1";
    again.environment["QORVANE_MESSAGE_BOXES"] = "stderr-yes";
    const ProgramResult r = RunProgram(again);
    const bool offered = r.exitCode == 0 && r.output.find("rows: 1\n") != std::string::npos &&
                         r.output.find("row: " + s.jobs.back().input.filename().string() + "|") != std::string::npos;
    if (!offered) Fault("the next start did not offer the stopped job:\n%s%s", r.output.c_str(), r.errors.c_str());
    return offered;
}

// A short batch into an output folder that cannot be made: every job
// skipped, each with its warning. The CLI is given such a folder (under a
// file); the window's must exist when it starts, so a first job takes it
// away and fails for want of it. A job taken while that one runs (with
// several at once) finds the folder gone only as its encoder is started.
std::string BlockedFolderBatch(const ChaosSetup& s, const Options& o) {
    const int count = 20;
    std::vector<fs::path> inputs;
    if (o.window) {
        fs::create_directories(s.unplugged / "sub");
        inputs.push_back(s.work / "UNPLUG.wav");
    } else {
        std::ofstream(s.unplugged) << "x";
    }
    for (int i = 0; i < count; ++i) inputs.push_back(s.work / ("blocked-" + std::to_string(i) + ".wav"));
    for (const fs::path& input : inputs) LinkOrCopy(s.media / "tone.wav", input);
    const ProgramResult r = RunProgram(FrontEnd(s, o, inputs, (s.unplugged / "sub").string(), "blocked"));
    const auto linesWith = [](const std::string& text, const std::string& what, bool messagesOnly) {
        int found = 0;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            found += line.find(what) != std::string::npos && (!messagesOnly || line.starts_with("qorv: "));
        }
        return found;
    };
    const int skipped = linesWith(r.output, "skipped: ", false);
    const int failed = linesWith(r.output, "failed: ", false);
    const int warnings = linesWith(r.errors, "フォルダを作成できません", o.window);
    const int noFolder = linesWith(r.output, ": フォルダを作成できません", false);
    // Jobs that met the folder's going some other way: not started, failed.
    const int others = count - noFolder;
    const bool right = r.exitCode == (o.window ? 0 : 1) && skipped + failed == static_cast<int>(inputs.size()) &&
                       warnings == noFolder && others <= (o.window ? o.parallel - 1 : 0) &&
                       (!o.window || r.output.find("failed: " + inputs.front().string()) != std::string::npos) &&
                       fs::is_regular_file(s.unplugged) &&
                       (!o.window || (r.output.ends_with("rows left: 0\n") &&  // and the report, cut short
                                      r.errors.find("qorv: 変換できなかったファイルがあります (21 件)") != std::string::npos &&
                                      r.errors.find("ほか 1 件") != std::string::npos));
    if (!right) Fault("folder that cannot be made:\n%s%s", r.output.c_str(), r.errors.c_str());
    char text[160];
    std::snprintf(text, sizeof text, "%d skipped for want of the folder, %d warnings; %d ended otherwise; status %d",
                  noFolder, warnings, count + (o.window ? 1 : 0) - noFolder, r.exitCode);
    return text;
}

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--window") o.window = true;
        // Up to 4: the window's missing inputs go while the first ten jobs run.
        else if (arg == "--jobs" && i + 1 < argc) o.parallel = std::clamp(std::atoi(argv[++i]), 1, 4);
        else o.jobs = std::max(60, std::atoi(argv[i]));
    }
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = ParseOptions(argc, argv);
    const auto started = Clock::now();
    TempDir work;
    ChaosSetup s;
    s.work = work.path();
    s.media = work / "media";
    s.in = work / "in";
    s.bin = work / "bin";
    s.registry = work / "registry.ini";
    s.profile = work / "chaos.wpf";
    s.log = work / "encoder.log";
    s.unplugged = work / "usb";
    fs::create_directories(s.in);
    SmallDisk disk(work / "full", "768k");
    s.fullDir = disk.mounted() ? work / "full" : s.in;
    MakeMedia(s);
    WriteEncoder(s, QORVANE_ENCODER_DIR, o.window);
    s.jobs = MakeJobs(s, o.jobs, o.window);
    if (disk.mounted()) disk.leaveFree(16 * 1024);  // room for about three outputs

    // The batch, stopped with SIGINT once only the hanging job is left.
    std::vector<fs::path> inputs;
    for (const Job& job : s.jobs) inputs.push_back(job.input);
    const ProgramRun run = FrontEnd(s, o, inputs, "", "batch");
    const pid_t pid = StartProgram(run);
    const Watched w = Watch(pid, run, s.jobs);
    const auto stopAsked = Clock::now();
    ::kill(pid, SIGINT);
    const ProgramResult result = WaitProgram(pid, run);
    const double stopSeconds = SecondsSince(stopAsked);
    const bool orphansGone = Eventually([&] { return ProcessesIn(s.work).empty(); });
    const int orphans = orphansGone ? 0 : static_cast<int>(ProcessesIn(s.work).size());

    const std::string logText = ReadText(s.log);
    const std::vector<LoggedRun> logged = LoggedRuns(logText);
    Accounted a = AccountForJobs(s, o, result.output, logged, disk.mounted());
    const int strays = CountStrays(s);
    // The log: every run that started the encoder, each with its end (the
    // window's hanging run included, though it had no line).
    const int runsStarted = a.verdicts["encoded"] + a.verdicts["failed"] + 1;
    const int ended = static_cast<int>(
        std::count_if(logged.begin(), logged.end(), [](const LoggedRun& r) { return !r.end.empty(); }));
    if (static_cast<int>(logged.size()) != runsStarted || ended != runsStarted) {
        Fault("log: %zu runs, %d ended, %d started", logged.size(), ended, runsStarted);
    }
    CheckErrorStream(s, o, result.errors);
    if (result.exitCode != (o.window ? 0 : 128 + SIGINT)) Fault("stopped with status %d", result.exitCode);
    if (!w.hangRunning) Fault("the hanging encoder was not seen");
    if (orphans > 0 || w.at50.zombieChildren > 0 || w.atEnd.zombieChildren > 0) Fault("processes left or zombies");
    if (w.atEnd.ownDescriptors() > w.at50.descriptors) Fault("descriptors grew");
    if (w.atEnd.peakRssMb - w.at50.peakRssMb > 5.0) Fault("peak RSS grew");
    const bool offered = o.window && WindowOffersTheStoppedJob(s, o);
    const std::string blocked = BlockedFolderBatch(s, o);

    const char* program = o.window ? "the window (offscreen)" : "qorvane-cli encode";
    std::printf("chaos batch: %d jobs through %s, %d at once, in %.0f s (+20 into a folder that cannot be made)\n",
                o.jobs, program, o.parallel, w.batchSeconds);
    std::printf("  lines: encoded %d, failed %d, skipped %d, aborted %d, unaccounted %d", a.verdicts["encoded"],
                a.verdicts["failed"], a.verdicts["skipped"], a.verdicts["aborted"], a.verdicts["unaccounted"]);
    std::printf(o.window ? "; stopped with the window: %d\n" : "\n", a.verdicts["stopped"]);
    std::printf("  encoded outputs checked with ffprobe (ASF, streams, tags): %d of %d\n", a.tagsChecked, a.encoded);
    std::printf("  failed runs with the encoder's reason in the log: %d of %d\n", a.failedWithReason,
                a.verdicts["failed"]);
    std::printf("  nearly full disk (%s): encoded %d, failed %d; stray or partial files anywhere: %d\n",
                disk.mounted() ? "768 KiB tmpfs" : "not tested: needs root for the tmpfs", a.fullEncoded,
                a.fullFailed, strays);
    std::printf("  log: %zu runs, %d with their end, %d encoder runs started; %zu KiB\n", logged.size(), ended,
                runsStarted, logText.size() / 1024);
    std::printf("  program after 50 jobs: peak RSS %.1f MiB, %d descriptors besides the runs' own; before the last: "
                "%.1f MiB, %d\n",
                w.at50.peakRssMb, w.at50.descriptors, w.atEnd.peakRssMb, w.atEnd.ownDescriptors());
    std::printf("  zombie children: %d / %d; processes of the batch left after it: %d\n", w.at50.zombieChildren,
                w.atEnd.zombieChildren, orphans);
    std::printf("  hung encoder %s; SIGINT -> program ended in %.2f s with status %d\n",
                w.hangRunning ? "was running" : "NOT SEEN", stopSeconds, result.exitCode);
    if (o.window) std::printf("  next start offers the stopped job: %s\n", offered ? "yes" : "NO");
    std::printf("  folder that cannot be made: %s\n", blocked.c_str());
    std::printf("faults: %d   (total %.0f s)\n", faults, SecondsSince(started));
    return faults == 0 ? 0 : 1;
}
