#include "cli/cli_commands.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <ostream>

#include "app/add_job.h"
#include "app/folder_listing.h"
#include "encode/command_line.h"
#include "encode/encoding_profile.h"
#include "encode/parallel_runs.h"
#include "encode/run_planner.h"
#include "platform/file_open_error.h"
#include "profiles/profile_settings.h"
#include "tags/id3.h"

namespace qorvane::cli {

namespace {

constexpr const char* kUsage =
    "usage: qorvane-cli profile FILE.wpf\n"
    "       qorvane-cli command-line --profile FILE.wpf --script SCRIPT [--debug] INPUT...\n"
    "       qorvane-cli tags FILE...\n"
    "       qorvane-cli list FILE|DIR...\n"
    "       qorvane-cli encode [--profile NAME|FILE.wpf] [--out DIR] [--jobs N] [--debug] [--quiet] [--progress]\n"
    "                          [--no-cover] [--keep-tree] [--ignore-space] FILE|DIR...\n"
    "       qorvane-cli watch [--profile NAME|FILE.wpf] [--out DIR] [--keep-tree] [--jobs N] [--settle SECONDS]\n"
    "                         [--poll SECONDS] [--debug] [--quiet] [--no-cover] DIR...\n"
    "       qorvane-cli info [--profile NAME|FILE.wpf] FILE...\n";

int Usage(std::ostream& err) {
    err << kUsage;
    return kExitUsage;
}

// Options that take a value, flags ("--debug" always), "--" ending the
// options, operands.
struct ParsedOptions {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool debug = false;
    std::vector<std::string> operands;
};

std::optional<ParsedOptions> ParseOptions(const std::vector<std::string>& args,
                                          std::initializer_list<std::string_view> valueOptions,
                                          std::initializer_list<std::string_view> flagOptions = {}) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool takesValue = std::find(valueOptions.begin(), valueOptions.end(), a) != valueOptions.end();
        if (takesValue && i + 1 < args.size()) {
            parsed.values[a] = args[++i];
        } else if (a == "--debug") {
            parsed.debug = true;
        } else if (std::find(flagOptions.begin(), flagOptions.end(), a) != flagOptions.end()) {
            parsed.flags.insert(a);
        } else if (a == "--") {
            parsed.operands.insert(parsed.operands.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                   args.end());
            break;
        } else if (a.starts_with("--")) {
            return std::nullopt;
        } else {
            parsed.operands.push_back(a);
        }
    }
    return parsed;
}

// The options only `watch` has; the rest are encode's.
int WatchCommand(const ParsedOptions& parsed, EncodeOptions encode, const WatchHandler& watch, std::ostream& out,
                 std::ostream& err) {
    WatchOptions options;
    options.encode = std::move(encode);
    options.keepTree = parsed.flags.count("--keep-tree") > 0;
    options.folders = parsed.operands;
    if (parsed.values.count("--settle")) {
        const auto settle = ParseSeconds(parsed.values.at("--settle"));
        if (!settle) return Usage(err);
        options.settle = *settle;
    }
    if (parsed.values.count("--poll")) {
        const auto poll = ParseSeconds(parsed.values.at("--poll"));
        if (!poll || poll->count() == 0) return Usage(err);
        options.poll = *poll;
    }
    return watch(options, out, err);
}

}  // namespace

int PrintProfile(const std::string& file, std::ostream& out) {
    const ProfileSettings p = LoadProfile(file);
    out << "AudioMode: " << p.AudioMode << '\n'
        << "AudioSetting: " << p.AudioSetting << '\n'
        << "AudioPeak: " << p.AudioPeak << '\n'
        << "VideoMode: " << p.VideoMode << '\n'
        << "VideoBitrate: " << p.VideoBitrate << '\n'
        << "VideoQuality: " << p.VideoQuality << '\n'
        << "FrameRate: " << p.FrameRate << '\n'
        << "KeyFrame: " << p.KeyFrame << '\n'
        << "VideoPeak: " << p.VideoPeak << '\n'
        << "VideoSize: " << p.VideoSize << '\n'
        << "PixelFormat: " << p.PixelFormat << '\n'
        << "VideoFilter: " << p.VideoFilter << '\n'
        << "CustomWidth: " << p.CustomWidth << '\n'
        << "CustomHeight: " << p.CustomHeight << '\n'
        << "Performance: " << p.Performance << '\n';
    return kExitOk;
}

int PrintCommandLines(const std::string& profileFile, const std::string& scriptPath, bool debug,
                      const std::vector<std::string>& inputs, std::ostream& out) {
    const EncodingProfile profile = PrepareEncodingProfile(LoadProfile(profileFile));
    const EncoderLocation encoder{scriptPath, {}, debug};
    for (const std::string& input : inputs) {
        const std::filesystem::path inputPath = ResolveFullPath(input);
        bool any = false;
        for (const PlannedRun& run : PlanRuns(profile, {inputPath, inputPath.filename().string()}, encoder)) {
            if (!run.commandLine) continue;
            any = true;
            out << "output: " << run.outputName() << '\n' << "command: " << run.commandLine->text() << '\n';
        }
        if (!any) out << "skipped: " << input << '\n';
    }
    return kExitOk;
}

int PrintTags(const std::vector<std::string>& files, const CodePage& legacy, const MediaTagReader& tagReader,
              std::ostream& out, std::ostream& err) {
    int status = kExitOk;
    for (const std::string& file : files) {
        TID3v2 id3(legacy);
        id3.ReadPictures = false;
        bool mpeg = false;
        std::optional<SourceTags> tags;
        try {
            mpeg = id3.ReadTags(file);
            tags = tagReader.read(file);
        } catch (const FileOpenError& e) {
            err << e.what() << '\n';
            status = kExitUnreadable;
            continue;
        }
        out << "file: " << file << '\n' << "mpeg: " << (mpeg ? "yes" : "no") << '\n';
        if (tags) {
            out << "Title: " << tags->Title << '\n'
                << "Artist: " << tags->Artist << '\n'
                << "Album: " << tags->Album << '\n'
                << "Year: " << tags->Year << '\n'
                << "Comment: " << tags->Comment << '\n'
                << "Copyright: " << tags->Copyright << '\n'
                << "Genre: " << tags->Genre << '\n'
                << "Track: " << tags->Track << '\n';
        }
        if (mpeg) out << "AudioOffset: " << id3.AudioOffset << '\n';
        if (!tags) continue;
        out << "AlbumArtist: " << tags->AlbumArtist << '\n'
            << "Disc: " << tags->Disc << '\n'
            << "Composer: " << tags->Composer << '\n';
        for (const SourcePicture& picture : tags->Pictures) {
            out << "Picture: " << int{picture.type} << ' ' << picture.mimeType << ' ' << picture.data.size() << '\n';
        }
    }
    return status;
}

int PrintInputs(const std::vector<std::string>& inputs, const DirectoryWalk& walk, std::ostream& out,
                std::ostream& err) {
    const ListedInputs listed = ListInputs(walk, inputs);
    int status = kExitOk;
    for (const FoundInput& file : listed.files) {
        if (IsAcceptedMediaFile(file.path)) {
            out << file.path << '\n';
        } else {
            err << "not taken: " << file.path << '\n';
            status = kExitFailure;
        }
    }
    for (const std::string& folder : listed.unreadableFolders) {
        err << "folder not readable: " << folder << '\n';
        status = kExitFailure;
    }
    return status;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const CodePage& legacy,
        const MediaTagReader& tagReader, const DirectoryWalk& walk, const EncodeHandler& encode,
        const WatchHandler& watch, const InfoHandler& info) {
    if (args.empty()) return Usage(err);
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());

    if (command == "profile") {
        if (rest.size() != 1) return Usage(err);
        return PrintProfile(rest[0], out);
    }
    if (command == "tags") {
        if (rest.empty()) return Usage(err);
        return PrintTags(rest, legacy, tagReader, out, err);
    }
    if (command == "list") {
        if (rest.empty()) return Usage(err);
        return PrintInputs(rest, walk, out, err);
    }
    if (command == "command-line") {
        const auto parsed = ParseOptions(rest, {"--profile", "--script"});
        if (!parsed || !parsed->values.count("--profile") || !parsed->values.count("--script") ||
            parsed->operands.empty()) {
            return Usage(err);
        }
        return PrintCommandLines(parsed->values.at("--profile"), parsed->values.at("--script"), parsed->debug,
                                 parsed->operands, out);
    }
    const bool watching = command == "watch" && watch;
    if ((command == "encode" && encode) || watching) {
        const auto parsed = watching ? ParseOptions(rest, {"--profile", "--out", "--jobs", "--settle", "--poll"},
                                                    {"--quiet", "--progress", "--no-cover", "--keep-tree"})
                                     : ParseOptions(rest, {"--profile", "--out", "--jobs"},
                                                    {"--quiet", "--progress", "--no-cover", "--keep-tree",
                                                     "--ignore-space"});
        if (!parsed || parsed->operands.empty()) return Usage(err);
        EncodeOptions options;
        if (parsed->values.count("--jobs")) {
            const auto jobs = ParseParallelRuns(parsed->values.at("--jobs"));
            if (!jobs) return Usage(err);
            options.jobs = *jobs;
        }
        options.profile = parsed->values.count("--profile") ? parsed->values.at("--profile") : "";
        options.outDir = parsed->values.count("--out") ? parsed->values.at("--out") : "";
        options.debug = parsed->debug;
        options.quiet = parsed->flags.count("--quiet") > 0;
        options.progress = parsed->flags.count("--progress") > 0;
        options.cover = parsed->flags.count("--no-cover") == 0;
        if (!watching) {
            options.keepTree = parsed->flags.count("--keep-tree") > 0;
            options.ignoreSpace = parsed->flags.count("--ignore-space") > 0;
            options.files = parsed->operands;
            return encode(options, out, err);
        }
        return WatchCommand(*parsed, std::move(options), watch, out, err);
    }
    if (command == "info" && info) {
        const auto parsed = ParseOptions(rest, {"--profile"});
        if (!parsed || parsed->operands.empty() || parsed->debug) return Usage(err);
        return info(parsed->values.count("--profile") ? parsed->values.at("--profile") : "", parsed->operands, out, err);
    }
    return Usage(err);
}

}  // namespace qorvane::cli
