#include "stand_in_encoder/ffmpeg_command.h"

#include <algorithm>

#include "stand_in_encoder/audio_plan.h"
#include "stand_in_encoder/video_plan.h"

namespace qorvane::encoder {

namespace {

void Add(ArgumentVector& to, std::initializer_list<std::string> arguments) {
    to.insert(to.end(), arguments.begin(), arguments.end());
}

ArgumentVector Head(const EncoderSettings& s, const FfmpegTarget& target) {
    ArgumentVector a{target.ffmpeg, "-nostdin", "-hide_banner", "-y"};
    if (s.debug) {
        Add(a, {"-loglevel", "info", "-stats"});
    } else {
        Add(a, {"-loglevel", "error", "-nostats"});
    }
    // Four reports a second at most; ffmpeg's first comes as soon as it writes.
    if (!target.progress.empty()) Add(a, {"-progress", target.progress, "-stats_period", "0.25"});
    if (target.threads > 0) Add(a, {"-threads", std::to_string(target.threads)});  // the decoder's
    // "-input" may begin with a dash; "file:" keeps ffmpeg from reading it
    // as a protocol or an option.
    Add(a, {"-i", "file:" + s.input});
    // And the encoders' (an option before the output applies to it).
    if (target.threads > 0) Add(a, {"-threads", std::to_string(target.threads)});
    return a;
}

void AddVideo(ArgumentVector& a, const VideoPlan& video) {
    Add(a, {"-c:v", video.encoder});
    if (!video.tag.empty()) Add(a, {"-tag:v", video.tag});
    if (!video.filter.empty()) Add(a, {"-vf", video.filter});
    Add(a, {"-pix_fmt", video.pixelFormat});
    a.insert(a.end(), video.options.begin(), video.options.end());
}

void AddAudio(ArgumentVector& a, const AudioPlan& audio) {
    Add(a, {"-c:a", audio.encoder});
    if (!audio.filter.empty()) Add(a, {"-af", audio.filter});
    Add(a, {"-ar", std::to_string(audio.sampleRate), "-ac", std::to_string(audio.channels)});
    if (audio.codecBitrate > 0) Add(a, {"-b:a", std::to_string(audio.codecBitrate)});
    a.insert(a.end(), audio.encoderOptions.begin(), audio.encoderOptions.end());
}

}  // namespace

std::vector<ArgumentVector> BuildFfmpegRuns(const EncoderSettings& s, const FfmpegTarget& target) {
    const bool video = s.encodesVideo();
    const bool audio = s.encodesAudio();
    const AudioPlan audioPlan = PlanAudio(s);
    const VideoPlan videoPlan = video ? PlanVideo(s) : VideoPlan{};

    std::vector<ArgumentVector> runs;
    if (video && videoPlan.twoPass) {
        ArgumentVector first = Head(s, target);
        Add(first, {"-map", "0:V:0", "-an", "-sn", "-dn"});
        AddVideo(first, videoPlan);
        Add(first, {"-pass", "1", "-passlogfile", target.passLog, "-f", "null", "-"});
        runs.push_back(std::move(first));
    }

    ArgumentVector main = Head(s, target);
    // "V": the first moving picture, never a cover picture before it.
    if (video) Add(main, {"-map", "0:V:0"});
    // The sound of a video input is optional: a silent clip still encodes.
    if (audio) Add(main, {"-map", s.inputKind == InputKind::Video && video ? "0:a:0?" : "0:a:0"});
    if (!video) Add(main, {"-vn"});
    if (!audio) Add(main, {"-an"});
    Add(main, {"-sn", "-dn"});
    // No tags of our own: the front end writes the tags afterwards, and
    // "bitexact" keeps ffmpeg from adding its encoder name.
    Add(main, {"-map_metadata", "-1", "-map_chapters", "-1", "-fflags", "+bitexact"});
    if (video) {
        AddVideo(main, videoPlan);
        if (videoPlan.twoPass) Add(main, {"-pass", "2", "-passlogfile", target.passLog});
    }
    if (audio) AddAudio(main, audioPlan);

    // Audio alone: packets sized to the audio frames. With video the
    // pictures fill the packets and the default size serves well.
    const int packetSize = video ? std::max(3200, audio ? audioPlan.packetSize : 0) : audioPlan.packetSize;
    Add(main, {"-f", "asf", "-packet_size", std::to_string(packetSize), "file:" + target.output});
    runs.push_back(std::move(main));
    return runs;
}

std::vector<std::string> ProbeProgramsFor(const std::string& ffmpeg) {
    const auto slash = ffmpeg.rfind('/');
    if (slash == std::string::npos) return {"ffprobe"};
    return {ffmpeg.substr(0, slash + 1) + "ffprobe", "ffprobe"};
}

ArgumentVector BuildDurationProbe(const std::string& ffprobe, const std::string& input) {
    return {ffprobe, "-v", "error", "-show_entries", "format=duration", "-of", "default=nw=1:nk=1",
            "-i", "file:" + input};
}

std::string RenderCommand(const ArgumentVector& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        const bool plain = !argument.empty() &&
                           argument.find_first_of(" \t\"'\\$`*?()[]{}<>|;&!#~") == std::string::npos;
        if (plain) {
            line += argument;
            continue;
        }
        line += '\'';
        for (const char c : argument) {
            if (c == '\'') {
                line += "'\\''";
            } else {
                line += c;
            }
        }
        line += '\'';
    }
    return line;
}

}  // namespace qorvane::encoder
