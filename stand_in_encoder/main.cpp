// qorvane-cscript: the script host of the stand-in encoder. It is started as
// "cscript.exe <script> <options>" and, given the stand-in's script, encodes
// the input with ffmpeg into the ASF file that "-output" names, reporting
// its progress on stdout (progress.h).

#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "encode/header_facts.h"
#include "stand_in_encoder/child_process.h"
#include "stand_in_encoder/encoder_options.h"
#include "stand_in_encoder/ffmpeg_command.h"
#include "stand_in_encoder/progress.h"
#include "stand_in_encoder/work_files.h"

namespace fs = std::filesystem;
using namespace qorvane::encoder;

namespace {

constexpr const char* kScriptMarker = "qorvane-stand-in-encoder";

bool IsStandInScript(const fs::path& script) {
    std::ifstream in(script, std::ios::binary);
    std::string head(4096, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head.find(kScriptMarker) != std::string::npos;
}

// ffmpeg ends with status 0 when the disk fills up under the output: it
// only logs that the trailer or the file could not be written. An output
// whose file system has no room left afterwards has most likely been cut
// short, so it is not taken.
bool OutputFileSystemFull(const std::string& output) {
    const fs::path folder = fs::absolute(fs::path(output)).parent_path();
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) return false;
    return (::geteuid() == 0 ? info.f_bfree : info.f_bavail) == 0;
}

bool IsReadableFile(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    char byte = 0;
    return in.good() && (in.read(&byte, 1) || in.eof());
}

// The reason goes to stderr and, as the run's final line, to stdout.
int Fail(const std::string& message) {
    std::cerr << "wmcmd: " << message << '\n';
    std::cout << FinishedLine(message) << std::endl;
    return 1;
}

// After a termination request: what was made is dropped and the host ends
// by the same signal.
void StopWhenAsked(WorkFiles& files) {
    const int signal = ReceivedTerminationSignal();
    if (signal == 0) return;
    files.Discard();
    Fail("Stopped by signal " + std::to_string(signal));
    EndBySignal(signal);
}

// The input's duration in seconds as ffprobe reads it; empty when unknown.
std::optional<double> ProbeDuration(const std::string& ffmpeg, const std::string& input, bool debug) {
    for (const std::string& ffprobe : ProbeProgramsFor(ffmpeg)) {
        const ArgumentVector probe = BuildDurationProbe(ffprobe, input);
        if (debug) std::cout << "ffprobe: " << RenderCommand(probe) << std::endl;
        std::string printed;
        ChildIo io;
        io.readFrom = 1;
        io.onRead = [&printed](std::string_view piece) {
            if (printed.size() < 256) printed.append(piece);
        };
        io.quiet = !debug;
        const ChildOutcome outcome = RunChild(probe, io);
        if (!outcome.started) continue;
        if (!outcome.succeeded()) return std::nullopt;
        return ParseProbedDuration(printed);
    }
    return std::nullopt;
}

// Below this size an input whose headers give no duration gets no ffprobe
// run: it encodes in a few seconds, and one run of ffprobe costs about as
// much as encoding two seconds of sound.
constexpr std::uint64_t kProbeWorthyInputSize = std::uint64_t{64} << 20;

// The input's duration in seconds from its own headers (encode/header_facts.h), else
// from ffprobe for an input large enough to make the probe's time small
// beside the encoding; empty when unknown.
std::optional<double> InputDuration(const std::string& ffmpeg, const std::string& input, bool debug) {
    const qorvane::FileBytes bytes(input);
    if (const auto facts = qorvane::ReadHeaderFacts(bytes); facts && facts->duration) return facts->duration;
    if (bytes.size() < kProbeWorthyInputSize) return std::nullopt;
    return ProbeDuration(ffmpeg, input, debug);
}

int Encode(const EncoderSettings& settings) {
    if (!IsReadableFile(settings.input)) return Fail("Cannot read the input file \"" + settings.input + "\"");
    std::error_code ec;
    if (fs::is_directory(settings.output, ec)) return Fail("The output \"" + settings.output + "\" is a directory");

    // From here on a termination request is only noted, so that what is made
    // below is removed before the host ends.
    ForwardTerminationSignals();
    RemoveStaleLeftovers(OutputDirectory(settings.output), fs::temp_directory_path(ec));
    WorkFiles files(settings.output);
    if (!files.Open(ec)) return Fail("Cannot write \"" + settings.output + "\": " + ec.message());
    FfmpegTarget target;
    if (const char* ffmpeg = std::getenv("QORVANE_FFMPEG"); ffmpeg != nullptr && *ffmpeg != '\0')
        target.ffmpeg = ffmpeg;
    // Several runs at once go faster with one thread each than with ffmpeg's
    // threads fighting over the processors; the front end says so here.
    if (const char* threads = std::getenv("QORVANE_FFMPEG_THREADS"); threads != nullptr) {
        const std::string_view text(threads);
        if (!text.empty() && text.size() <= 3 && text.find_first_not_of("0123456789") == std::string_view::npos) {
            target.threads = std::stoi(std::string(text));
        }
    }
    target.output = files.ffmpegOutput();
    target.passLog = files.PassLogPrefix();
    if (target.passLog.empty()) return Fail("Cannot create a temporary directory for the pass statistics");

    // Without the input's duration there is no share to report, only the end.
    const std::optional<double> duration = InputDuration(target.ffmpeg, settings.input, settings.debug);
    StopWhenAsked(files);
    if (duration) target.progress = "pipe:" + std::to_string(kReportChildDescriptor);
    const std::vector<ArgumentVector> runs = BuildFfmpegRuns(settings, target);
    std::optional<ProgressMeter> meter;
    if (duration) meter.emplace(*duration, static_cast<int>(runs.size()));

    for (std::size_t pass = 0; pass < runs.size(); ++pass) {
        const ArgumentVector& run = runs[pass];
        if (settings.debug) std::cout << "ffmpeg: " << RenderCommand(run) << std::endl;
        StopWhenAsked(files);
        ChildIo io;
        // Only the run that writes the ASF file gets it.
        if (pass + 1 == runs.size()) io.shared = files.sharedDescriptor();
        FfmpegProgressReader reader;
        if (meter) {
            io.readFrom = kReportChildDescriptor;
            io.onRead = [&](std::string_view piece) {
                for (const FfmpegProgressBlock& block : reader.Feed(piece))
                    std::cout << meter->Update(static_cast<int>(pass), block) << std::endl;
            };
        }
        const ChildOutcome outcome = RunChild(run, io);
        StopWhenAsked(files);
        if (!outcome.started) {
            return Fail("Cannot run ffmpeg (\"" + target.ffmpeg + "\"): " + std::strerror(outcome.startError) +
                        (outcome.startError == ENOENT ? "; install ffmpeg or set QORVANE_FFMPEG" : ""));
        }
        if (outcome.signal != 0) return Fail("ffmpeg was ended by signal " + std::to_string(outcome.signal));
        if (outcome.exitCode != 0)
            return Fail("ffmpeg failed with exit status " + std::to_string(outcome.exitCode) +
                        (settings.debug ? "" : " (add -s_config debug for its full output)"));
    }
    if (files.WrittenSize() == 0) return Fail("ffmpeg produced no output");
    if (OutputFileSystemFull(settings.output)) return Fail("No space left on the device of \"" + settings.output + "\"");
    if (!files.Commit(ec)) return Fail("Cannot write \"" + settings.output + "\": " + ec.message());
    if (meter) std::cout << meter->Finished() << std::endl;
    if (settings.debug) std::cout << "Wrote " << settings.output << std::endl;
    std::cout << FinishedLine({}) << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // Host options ("//nologo", "//B", ...) come before the script and mean
    // nothing here.
    std::size_t next = 0;
    while (next < arguments.size() && arguments[next].rfind("//", 0) == 0) ++next;
    if (next >= arguments.size()) {
        std::cerr << "Usage: CScript scriptname.extension [option...] [arguments...]\n";
        return 1;
    }
    const std::string script = arguments[next++];
    std::error_code ec;
    if (!fs::is_regular_file(script, ec)) {
        std::cerr << "Input Error: Can not find script file \"" << script << "\".\n";
        return 1;
    }
    if (!IsStandInScript(script)) {
        std::cerr << "Input Error: \"" << script << "\" is not Qorvane's stand-in encoding script; "
                  << "this host runs no other script.\n";
        return 1;
    }

    const ParseOutcome parsed =
        ParseEncoderArguments(std::vector<std::string>(arguments.begin() + static_cast<long>(next), arguments.end()),
                              [](const std::string& input) { return qorvane::ClassifyMediaFile(input); });
    if (!parsed.settings) return Fail(parsed.error);
    return Encode(*parsed.settings);
}
