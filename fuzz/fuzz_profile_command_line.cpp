// A profile file's text through everything a job does with it before the
// encoder starts: LoadProfile, the preparation, the planned runs and their
// command lines. The first byte picks the input, the script path and the
// debug switch; the rest is the file. Checked for every run:
//  - a missing input, an unsupported one and a path holding a double quote
//    give no command line, each for its own reason;
//  - the fixed head of the vector (host, script, -input, -output) carries
//    the paths unchanged, the output name is bare, and no quoted argument
//    holds a double quote, so the text form says exactly what runs;
//  - the stand-in encoder accepts every option the front end writes: with
//    the values a user types into the editor it accepts the whole vector,
//    and with a hand-edited file it refuses only a value copied from it.
// ASan and UBSan watch the table look-ups.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "encode/command_line.h"
#include "encode/encoding_profile.h"
#include "encode/run_planner.h"
#include "profiles/profile_settings.h"
#include "stand_in_encoder/encoder_options.h"

#include "fuzz/fuzz_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace qorvane;

fs::path OwnDirectory(const fs::path& base) { return fuzzing::OwnDirectory(base, "qorvane-fuzz-profile-"); }

struct Inputs {
    fs::path dir;
    fs::path profile;
    std::vector<fs::path> inputs;
    std::array<std::string, 2> scripts;
};

void Touch(const fs::path& file) { std::ofstream(file, std::ios::binary) << "x"; }

Inputs MakeInputs() {
    Inputs in;
    const char* shm = "/dev/shm";
    std::error_code ec;
    const fs::path base = fs::is_directory(shm, ec) ? fs::path(shm) : fs::temp_directory_path();
    in.dir = OwnDirectory(base);
    fs::create_directories(in.dir / "d\"ir");
    in.profile = in.dir / "p.wpf";
    std::string japanese;
    while (japanese.size() < 240) japanese += "\xE3\x81\x82";  // "あ", 250 bytes with the extension
    const std::vector<std::string> names = {
        "clip.avi", "song.mp3", "CLIP.VOB", "a.b.mpg", "q\"uote.avi", "sp ace $(x);#.wav",
        japanese + ".avi", "new\nline.mp3", "\xff\xfe.avi", "missing.avi", "notes.txt", ".avi",
        "-dash.wav", "d\"ir/clip.avi", "voice.WAV", "movie.Mpg"};
    for (const std::string& name : names) {
        in.inputs.push_back(in.dir / name);
        if (name != "missing.avi") Touch(in.dir / name);
    }
    in.scripts = {(in.dir / "wmcmd.vbs").string(), (in.dir / "d\"ir" / "wmcmd.vbs").string()};
    return in;
}

const Inputs& Fixture() {
    static const Inputs inputs = MakeInputs();
    return inputs;
}

bool HasQuote(std::string_view text) { return text.find('"') != std::string_view::npos; }

[[noreturn]] void Fail() { __builtin_trap(); }

// The values the stand-in may refuse in a hand-edited profile: those the
// front end copies as stored (the encoder judges them).
bool CopiedFromProfile(const std::string& error, const ProfileSettings& p) {
    for (const char* option : {"-v_keydist", "-v_framerate", "-v_peakbitrate", "-a_peakbitrate", "-v_quality",
                               "-v_preproc", "-v_performance", "-v_bitrate"}) {
        if (error.starts_with(std::string("Invalid value for ") + option + ":")) return true;
    }
    if (p.VideoSize == 10 && (error.starts_with("Invalid value for -v_width:") ||
                              error.starts_with("Invalid value for -v_height:")))
        return true;
    return false;
}

// A hand-edited profile made into one the editor could have saved: typed
// texts as the editor's fields allow them, numbers inside their controls.
// Positions (modes, rows, sizes, formats) stay as they are: the builder
// must cope with any.
EncodingProfile AsTyped(EncodingProfile prepared, std::uint8_t pick) {
    ProfileSettings& p = prepared.settings;
    p.KeyFrame = (pick & 1) ? "8" : "";
    p.FrameRate = (pick & 2) ? "29.97" : "";
    p.CustomWidth = "320";
    p.CustomHeight = "240";
    p.VideoPeak = (pick & 4) ? "700000" : "";
    p.AudioPeak = (pick & 8) ? "192000" : "";
    p.VideoQuality = std::clamp(p.VideoQuality, 0, 100);
    p.VideoFilter = std::min(p.VideoFilter, 18);
    p.Performance = std::max(p.Performance, 0);
    for (VideoKbps& kbps : prepared.videoBitrates) kbps = std::min(kbps, 100000);
    return prepared;
}

void CheckRun(const PlannedRun& run, const EncoderLocation& encoder, const ProfileSettings& profile,
              bool editorValues) {
    std::error_code ec;
    const std::string input = run.inputPath.string();
    const bool exists = fs::exists(run.inputPath, ec);
    const bool supported = ClassifyInput(run.inputPath) != InputClass::Unsupported;
    if (!exists || !supported || HasQuote(input) || HasQuote(encoder.scriptPath)) {
        if (run.commandLine) Fail();
        const CommandLineRefusal expected = !exists      ? CommandLineRefusal::InputMissing
                                            : !supported ? CommandLineRefusal::UnsupportedInput
                                                         : CommandLineRefusal::QuoteInPath;
        if (run.refusal != expected) Fail();
        return;
    }
    if (!run.commandLine) Fail();
    const EncoderCommandLine& line = *run.commandLine;
    const std::vector<std::string> argv = line.argv();
    if (argv.size() < 6 || argv[0] != kScriptHostCommand || argv[1] != encoder.scriptPath || argv[2] != "-input" ||
        argv[3] != input || argv[4] != "-output" || argv[5] != line.outputName)
        Fail();
    if (line.outputName.find('/') != std::string::npos || HasQuote(line.outputName)) Fail();
    // The input's name without its last extension (".avi" alone has an empty one).
    const std::string name = run.inputPath.filename().string();
    const std::string expected = name.substr(0, name.rfind('.')) + run.nameSuffix;
    if (line.outputName != expected + ".wma" && line.outputName != expected + ".wmv") Fail();
    for (const EncoderArgument& argument : line.arguments) {
        if (argument.quoted && HasQuote(argument.text)) Fail();
    }
    if (encoder.debugMode && (argv[argv.size() - 2] != "-s_config" || argv.back() != "debug")) Fail();

    const encoder::ParseOutcome parsed =
        encoder::ParseEncoderArguments(std::vector<std::string>(argv.begin() + 2, argv.end()));
    if (parsed.settings) {
        if (parsed.settings->input != input || parsed.settings->output != line.outputName) Fail();
        return;
    }
    // Audio only and video only at once leave nothing to encode: the editor
    // lets the user pick both, and the encoder says so.
    if (profile.VideoMode == 0 && profile.AudioMode <= 0 && parsed.error.starts_with("-audioonly and -videoonly"))
        return;
    if (editorValues || !CopiedFromProfile(parsed.error, profile)) Fail();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const Inputs& fixture = Fixture();
    const std::uint8_t pick = data[0];
    {
        std::ofstream file(fixture.profile, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    const EncoderLocation encoder{fixture.scripts[(pick >> 4) & 1], {}, (pick & 0x20) != 0};
    const fs::path input = fixture.inputs[pick & 0x0F];
    const RunJob job{input, input.filename().string()};

    const EncodingProfile prepared = PrepareEncodingProfile(LoadProfile(fixture.profile));
    const std::size_t count = RunCount(prepared, input);
    if (count < 1 || (count > 1 && count != prepared.videoBitrates.size())) Fail();
    for (const PlannedRun& run : PlanRuns(prepared, job, encoder)) CheckRun(run, encoder, prepared.settings, false);

    const EncodingProfile typed = AsTyped(prepared, pick);
    for (const PlannedRun& run : PlanRuns(typed, job, encoder)) CheckRun(run, encoder, typed.settings, true);
    return 0;
}
