// qorvane-cscript: the script host of the stand-in encoder. It is started as
// "cscript.exe <script> <options>" and, given the stand-in's script, encodes
// the input with ffmpeg into the ASF file that "-output" names.

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "encoder/child_process.h"
#include "encoder/encoder_options.h"
#include "encoder/ffmpeg_command.h"

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

bool IsReadableFile(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    char byte = 0;
    return in.good() && (in.read(&byte, 1) || in.eof());
}

// Files that exist only while the encoder works: the ASF file under a
// temporary name beside the output, and the two-pass statistics.
class WorkFiles {
public:
    explicit WorkFiles(const fs::path& output) : output_(output) {
        const fs::path dir = output.has_parent_path() ? output.parent_path() : fs::path(".");
        partial_ = dir / ("." + output.filename().string() + ".part-" + std::to_string(getpid()));
    }
    ~WorkFiles() { Discard(); }
    WorkFiles(const WorkFiles&) = delete;
    WorkFiles& operator=(const WorkFiles&) = delete;

    const fs::path& partial() const { return partial_; }

    // A private directory for ffmpeg's pass statistics; empty on failure.
    std::string PassLogPrefix() {
        std::string pattern = (fs::temp_directory_path() / "qorvane-cscript-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return {};
        passDir_ = pattern;
        return (passDir_ / "pass").string();
    }

    bool Commit(std::error_code& ec) {
        fs::rename(partial_, output_, ec);
        return !ec;
    }

    void Discard() {
        std::error_code ec;
        fs::remove(partial_, ec);
        if (!passDir_.empty()) fs::remove_all(passDir_, ec);
        passDir_.clear();
    }

private:
    fs::path output_;
    fs::path partial_;
    fs::path passDir_;
};

int Fail(const std::string& message) {
    std::cerr << "wmcmd: " << message << '\n';
    return 1;
}

int Encode(const EncoderSettings& settings) {
    if (!IsReadableFile(settings.input)) return Fail("Cannot read the input file \"" + settings.input + "\"");
    std::error_code ec;
    if (fs::is_directory(settings.output, ec)) return Fail("The output \"" + settings.output + "\" is a directory");

    WorkFiles files(settings.output);
    FfmpegTarget target;
    if (const char* ffmpeg = std::getenv("QORVANE_FFMPEG"); ffmpeg != nullptr && *ffmpeg != '\0')
        target.ffmpeg = ffmpeg;
    target.output = files.partial().string();
    target.passLog = files.PassLogPrefix();
    if (target.passLog.empty()) return Fail("Cannot create a temporary directory for the pass statistics");

    ForwardTerminationSignals();
    for (const ArgumentVector& run : BuildFfmpegRuns(settings, target)) {
        if (settings.debug) std::cout << "ffmpeg: " << RenderCommand(run) << std::endl;
        if (const int signal = ReceivedTerminationSignal(); signal != 0) {
            files.Discard();
            EndBySignal(signal);
        }
        const ChildOutcome outcome = RunChild(run);
        if (const int signal = ReceivedTerminationSignal(); signal != 0) {
            files.Discard();
            EndBySignal(signal);
        }
        if (!outcome.started) {
            return Fail("Cannot run ffmpeg (\"" + target.ffmpeg + "\"): " + std::strerror(outcome.startError) +
                        (outcome.startError == ENOENT ? "; install ffmpeg or set QORVANE_FFMPEG" : ""));
        }
        if (outcome.signal != 0) return Fail("ffmpeg was ended by signal " + std::to_string(outcome.signal));
        if (outcome.exitCode != 0)
            return Fail("ffmpeg failed with exit status " + std::to_string(outcome.exitCode) +
                        (settings.debug ? "" : " (add -s_config debug for its full output)"));
    }
    if (!fs::is_regular_file(files.partial(), ec) || fs::file_size(files.partial(), ec) == 0)
        return Fail("ffmpeg produced no output");
    if (!files.Commit(ec)) return Fail("Cannot write \"" + settings.output + "\": " + ec.message());
    if (settings.debug) std::cout << "Wrote " << settings.output << std::endl;
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
        ParseEncoderArguments(std::vector<std::string>(arguments.begin() + static_cast<long>(next), arguments.end()));
    if (!parsed.settings) return Fail(parsed.error);
    return Encode(*parsed.settings);
}
