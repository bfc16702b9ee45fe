#include "stand_in_encoder/video_plan.h"

#include <cmath>
#include <map>

namespace qorvane::encoder {

namespace {

void Append(std::string& chain, const std::string& filter) {
    if (filter.empty()) return;
    if (!chain.empty()) chain += ',';
    chain += filter;
}

std::string Number(double value) {
    // Whole values print without a fraction; others with up to 3 decimals.
    if (value == std::floor(value)) return std::to_string(static_cast<long>(value));
    std::string text = std::to_string(std::round(value * 1000) / 1000);
    while (!text.empty() && text.back() == '0') text.pop_back();
    return text;
}

// Uncompressed video stores the picture in the requested layout where the
// ASF muxer can label it: the YUV layouts under their own FourCC, 16-bit RGB
// as BI_BITFIELDS 5-6-5 and every other RGB depth as 32-bit RGBA, after the
// picture was reduced to that depth.
void PlanUncompressed(const EncoderSettings& s, VideoPlan& plan) {
    plan.encoder = "rawvideo";
    const std::string name = s.pixelFormat.value_or("I420");
    const std::string native = FfmpegPixelFormat(name);
    if (name.rfind("RGB ", 0) != 0) {
        plan.pixelFormat = native;  // I420 IYUV YV12 -> I420, YUY2, UYVY, YVYU, YVU9 -> YUV9
        return;
    }
    if (name == "RGB 565" || name == "RGB 555") {
        if (name == "RGB 555") Append(plan.filter, "format=" + native);
        plan.pixelFormat = "rgb565le";
        plan.tag = "0x00000003";
        return;
    }
    if (name != "RGB 24" && name != "RGB 32") Append(plan.filter, "format=" + native);
    plan.pixelFormat = "rgba";
    plan.tag = "RGBA";
}

void PlanRateControl(const EncoderSettings& s, VideoPlan& plan) {
    const long bitrate = s.videoBitrate.value_or(kDefaultVideoBitrate);
    const std::string rate = std::to_string(bitrate);
    const int quality = s.videoQuality.value_or(kDefaultVideoQuality);
    switch (s.videoMode) {
        case 0:  // CBR
        case 1:  // 2-pass CBR
            // A one-second buffer: with five, as the Windows encoder has,
            // ffmpeg's one-pass rate control overshoots by 15 to 20 %. No
            // minimum rate: these codecs cannot stuff, ffmpeg would only
            // complain about buffer overflows on easy pictures.
            plan.options.insert(plan.options.end(), {"-b:v", rate, "-maxrate", rate, "-bufsize", rate});
            // Quality against smoothness: how far the quantiser follows the
            // picture's complexity.
            plan.options.insert(plan.options.end(), {"-qcomp", Number(quality / 100.0)});
            plan.twoPass = s.videoMode == 1;
            break;
        case 2:  // quality-based VBR
            plan.options.insert(plan.options.end(), {"-q:v", std::to_string(QuantiserForQuality(quality))});
            break;
        case 3:  // bit-rate VBR, two passes as the Windows encoder does
            plan.options.insert(plan.options.end(), {"-b:v", rate});
            plan.twoPass = true;
            break;
        default:  // 4: peak-constrained VBR
            plan.options.insert(plan.options.end(), {"-b:v", rate});
            if (s.videoPeakBitrate) {
                const std::string peak = std::to_string(*s.videoPeakBitrate);
                plan.options.insert(plan.options.end(),
                                    {"-maxrate", peak, "-bufsize", peak});
            }
            plan.twoPass = true;
            break;
    }
}

}  // namespace

std::string FfmpegPixelFormat(const std::string& name) {
    static const std::map<std::string, std::string> formats = {
        {"I420", "yuv420p"},     {"IYUV", "yuv420p"},     {"YV12", "yuv420p"},
        {"RGB 1", "monow"},      {"RGB 4", "rgb4_byte"},  {"RGB 8", "pal8"},
        {"RGB 555", "rgb555le"}, {"RGB 565", "rgb565le"}, {"RGB 24", "bgr24"},
        {"RGB 32", "bgra"},      {"UYVY", "uyvy422"},     {"YUY2", "yuyv422"},
        {"YVYU", "yvyu422"},     {"YVU9", "yuv410p"}};
    const auto found = formats.find(name);
    return found == formats.end() ? std::string() : found->second;
}

std::string PreprocessFilter(int preprocess) {
    if (preprocess >= 6 && preprocess <= 15) {
        // Inverse telecine with a known first field and the 3:2 cadence's
        // phase at the first frame (AA BB BC CD DD).
        const bool top = preprocess <= 10;
        const int phase = (preprocess - 6) % 5;
        return std::string("detelecine=first_field=") + (top ? "top" : "bottom") +
               ":pattern=23:start_frame=" + std::to_string(phase);
    }
    switch (preprocess) {
        case 1: return "yadif=mode=send_frame";
        case 2: return "yadif=mode=send_frame,scale=iw/2:ih/2";
        case 3: return "yadif=mode=send_field,scale=iw/2:ih/2";
        case 4: return "separatefields";
        case 5: return "fieldmatch,yadif=deint=interlaced,decimate";
        case 17: return "setfield=tff";
        case 18: return "setfield=bff";
        default: return {};  // 0 none; 16 interlaced as the source is
    }
}

int QuantiserForQuality(int quality) {
    return 2 + static_cast<int>(std::lround((100 - quality) * 29 / 100.0));
}

VideoPlan PlanVideo(const EncoderSettings& s) {
    VideoPlan plan;
    Append(plan.filter, PreprocessFilter(s.videoPreprocess));
    if (s.width || s.height) {
        // One side alone keeps the picture's proportions.
        const std::string w = s.width ? std::to_string(*s.width) : "-2";
        const std::string h = s.height ? std::to_string(*s.height) : "-2";
        Append(plan.filter, "scale=" + w + ":" + h);
    }
    // A filter, not "-r": the first of two passes writes to ffmpeg's null
    // muxer, where "-r" would not drop frames and the encoder fails.
    if (s.frameRate) Append(plan.filter, "fps=" + *s.frameRate);

    if (s.videoCodec == VideoCodecName::Uncompressed) {
        PlanUncompressed(s, plan);
        if (s.videoPreprocess == 17) plan.options = {"-top", "1"};
        if (s.videoPreprocess == 18) plan.options = {"-top", "0"};
        return plan;
    }

    switch (s.videoCodec) {
        case VideoCodecName::Wmv7: plan.encoder = "wmv1"; break;
        case VideoCodecName::MsMpeg4v3: plan.encoder = "msmpeg4"; break;
        case VideoCodecName::IsoMpeg4:
            plan.encoder = "mpeg4";
            plan.tag = "MP4S";
            break;
        default: plan.encoder = "wmv2"; break;
    }
    // A named pixel format is what the picture passes through before the
    // codec takes it in its own 4:2:0 form (RGB 8 keeps 256 colours, ...).
    if (s.pixelFormat) {
        const std::string native = FfmpegPixelFormat(*s.pixelFormat);
        if (native != "yuv420p") Append(plan.filter, "format=" + native);
    }
    plan.pixelFormat = "yuv420p";

    PlanRateControl(s, plan);

    const double keyDistance = s.keyDistanceSeconds.value_or(kDefaultKeyDistanceSeconds);
    plan.options.insert(plan.options.end(),
                        {"-g", "100000", "-force_key_frames",
                         "expr:gte(t,n_forced*" + Number(keyDistance) + ")"});

    const int performance = s.performance.value_or(40);
    if (performance >= 80) {
        plan.options.insert(plan.options.end(), {"-mbd", "rd", "-trellis", "1"});
    } else if (performance >= 40) {
        plan.options.insert(plan.options.end(), {"-mbd", "bits"});
    }

    if (s.videoPreprocess >= 16 && plan.encoder == "mpeg4") {
        plan.options.insert(plan.options.end(), {"-flags", "+ildct+ilme"});
    }
    if (s.videoPreprocess == 17) plan.options.insert(plan.options.end(), {"-top", "1"});
    if (s.videoPreprocess == 18) plan.options.insert(plan.options.end(), {"-top", "0"});
    return plan;
}

}  // namespace qorvane::encoder
