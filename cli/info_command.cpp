#include "cli/info_command.h"

#include <cstdio>
#include <ostream>

#include "cli/cli_commands.h"
#include "encode/command_line.h"
#include "encode/run_planner.h"
#include "encode/size_estimate.h"
#include "profiles/profile_names.h"

namespace qorvane::cli {

namespace {

std::string Fixed3(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    return buffer;
}

std::string OrUnknown(const std::string& text) { return text.empty() ? "?" : text; }
std::string OrUnknown(int figure) { return figure > 0 ? std::to_string(figure) : "?"; }

void PrintFacts(const MediaFacts& facts, std::ostream& out) {
    out << "kind: " << (facts.kind == MediaKind::Video ? "video" : "audio") << '\n'
        << "duration: " << (facts.duration ? Fixed3(*facts.duration) : "?") << '\n';
    if (facts.audio) {
        const AudioFacts& a = *facts.audio;
        out << "audio: " << OrUnknown(a.codec) << ' ' << OrUnknown(a.sampleRate) << ' ' << OrUnknown(a.channels) << ' '
            << OrUnknown(a.bitRateKbps) << '\n';
    }
    if (facts.kind == MediaKind::Video && facts.video) {
        const VideoFacts& v = *facts.video;
        out << "video: " << OrUnknown(v.codec) << ' ' << OrUnknown(v.width) << 'x' << OrUnknown(v.height) << ' '
            << (v.frameRate > 0 ? Fixed3(v.frameRate) : "?") << '\n';
    }
}

}  // namespace

std::filesystem::path ProfileFileOf(const std::string& option, const std::filesystem::path& profileDir) {
    if (IsProfileFileArgument(option)) return std::filesystem::absolute(option);
    return ProfilePath(profileDir, option.empty() ? kTemporaryProfileName : option);
}

int PrintInfo(const std::vector<std::string>& files, const EncodingProfile& profile, const MediaFactsReader& reader,
              std::ostream& out, std::ostream& err) {
    int status = 0;
    std::uint64_t knownBytes = 0;
    std::size_t unknown = 0;
    double seconds = 0;
    for (const std::string& file : files) {
        out << "file: " << file << '\n';
        const std::optional<MediaFacts> facts = reader.read(file);
        if (!facts) {
            err << "no facts could be read: " << file << '\n';
            status = kExitUnreadable;
            ++unknown;
            continue;
        }
        PrintFacts(*facts, out);
        if (facts->duration) seconds += *facts->duration;
        const std::filesystem::path input = ResolveFullPath(file);
        const std::vector<PlannedRun> runs = PlanRuns(profile, {input, input.filename().string()}, {});
        const JobSize size = EstimateJobSize(profile, *facts);
        for (std::size_t run = 0; run < runs.size(); ++run) {
            const std::optional<std::uint64_t> bytes = run < size.runs.size() ? size.runs[run] : std::nullopt;
            out << "output: " << OrUnknown(runs[run].outputName()) << ' '
                << (bytes ? std::to_string(*bytes) : std::string("?")) << '\n';
        }
        if (size.bytes && size.runs.size() == runs.size()) {
            knownBytes += *size.bytes;
        } else {
            ++unknown;
        }
    }
    out << "total: " << knownBytes << ' ' << unknown << ' ' << Fixed3(seconds) << '\n';
    return status;
}

}  // namespace qorvane::cli
