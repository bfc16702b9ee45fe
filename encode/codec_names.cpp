#include "encode/codec_names.h"

#include <algorithm>
#include <array>
#include <utility>

namespace qorvane {

namespace {

using Name = std::pair<std::string_view, std::string_view>;

std::string Find(const auto& table, std::string_view code) {
    const auto found = std::find_if(table.begin(), table.end(), [&](const Name& row) { return row.first == code; });
    return found == table.end() ? std::string() : std::string(found->second);
}

}  // namespace

std::string WaveFormatName(std::uint32_t formatTag) {
    static constexpr std::array<std::pair<std::uint32_t, std::string_view>, 20> kTags{{
        {0x0001, "PCM"}, {0x0003, "PCM"}, {0x0002, "ADPCM"}, {0x0011, "ADPCM"}, {0x0006, "A-law"},
        {0x0007, "mu-law"}, {0x0050, "MP2"}, {0x0055, "MP3"}, {0x00FF, "AAC"}, {0x1610, "AAC"},
        {0x2000, "AC-3"}, {0x2001, "DTS"}, {0x000A, "WMA Voice"}, {0x0160, "WMA"}, {0x0161, "WMA"},
        {0x0162, "WMA Pro"}, {0x0163, "WMA Lossless"}, {0xF1AC, "FLAC"}, {0x566F, "Vorbis"}, {0x704F, "Opus"},
    }};
    const auto found = std::find_if(kTags.begin(), kTags.end(), [&](const auto& row) { return row.first == formatTag; });
    return found == kTags.end() ? std::string() : std::string(found->second);
}

std::string VideoFourCcName(std::string_view fourCc) {
    static constexpr std::array<Name, 58> kCodes{{
        {"H264", "H.264"}, {"h264", "H.264"}, {"X264", "H.264"}, {"x264", "H.264"}, {"avc1", "H.264"},
        {"AVC1", "H.264"}, {"avc3", "H.264"}, {"HEVC", "H.265"}, {"hev1", "H.265"}, {"hvc1", "H.265"},
        {"H265", "H.265"}, {"XVID", "MPEG-4"}, {"xvid", "MPEG-4"}, {"DIVX", "MPEG-4"}, {"divx", "MPEG-4"},
        {"DX50", "MPEG-4"}, {"FMP4", "MPEG-4"}, {"MP4V", "MPEG-4"}, {"mp4v", "MPEG-4"}, {"M4S2", "MPEG-4"},
        {"MP41", "MS MPEG-4"}, {"MP42", "MS MPEG-4"}, {"MP43", "MS MPEG-4"}, {"DIV3", "MS MPEG-4"},
        {"MP4S", "MPEG-4"}, {"WMV1", "WMV7"}, {"WMV2", "WMV8"}, {"WMV3", "WMV9"}, {"WVC1", "VC-1"},
        {"WMVA", "VC-1"}, {"MJPG", "MJPEG"}, {"mjpg", "MJPEG"}, {"jpeg", "MJPEG"}, {"mjpa", "MJPEG"},
        {"mpg1", "MPEG-1"}, {"MPG1", "MPEG-1"}, {"mpg2", "MPEG-2"}, {"MPG2", "MPEG-2"}, {"MPEG", "MPEG-2"},
        {"VP80", "VP8"}, {"vp08", "VP8"}, {"VP90", "VP9"}, {"vp09", "VP9"}, {"AV01", "AV1"}, {"av01", "AV1"},
        {"dvsd", "DV"}, {"DVSD", "DV"}, {"FFV1", "FFV1"}, {"HFYU", "HuffYUV"}, {"s263", "H.263"},
        {"H263", "H.263"}, {"FLV1", "FLV1"}, {"apcn", "ProRes"}, {"apch", "ProRes"}, {"apcs", "ProRes"},
        {"raw ", "Raw"}, {std::string_view("\0\0\0\0", 4), "Raw"}, {"DIB ", "Raw"},
    }};
    std::string name = Find(kCodes, fourCc);
    if (!name.empty() || fourCc.size() != 4) return name;
    if (!std::all_of(fourCc.begin(), fourCc.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) return {};
    name = fourCc;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

bool IsPictureFourCc(std::string_view fourCc) {
    static constexpr std::array<std::string_view, 5> kPictures{"MJPG", "MPNG", "PNG ", "png ", "JPEG"};
    return std::find(kPictures.begin(), kPictures.end(), fourCc) != kPictures.end();
}

std::string Mp4SoundName(std::string_view sampleEntry, std::uint32_t objectType) {
    if (sampleEntry == "mp4a") {
        if (objectType == 0x69 || objectType == 0x6B) return "MP3";
        if (objectType == 0xA5) return "AC-3";
        return "AAC";
    }
    static constexpr std::array<Name, 17> kEntries{{
        {"alac", "ALAC"}, {"ac-3", "AC-3"}, {"ec-3", "E-AC-3"}, {"Opus", "Opus"}, {"fLaC", "FLAC"},
        {"samr", "AMR"}, {"sawb", "AMR-WB"}, {"sowt", "PCM"}, {"twos", "PCM"}, {"lpcm", "PCM"},
        {"in24", "PCM"}, {"in32", "PCM"}, {"fl32", "PCM"}, {"fl64", "PCM"}, {"raw ", "PCM"},
        {"ulaw", "mu-law"}, {"alaw", "A-law"},
    }};
    return Find(kEntries, sampleEntry);
}

std::string MatroskaCodecName(std::string_view codecId) {
    static constexpr std::array<Name, 28> kIds{{
        {"V_MPEG4/ISO/AVC", "H.264"}, {"V_MPEGH/ISO/HEVC", "H.265"}, {"V_VP8", "VP8"}, {"V_VP9", "VP9"},
        {"V_AV1", "AV1"}, {"V_THEORA", "Theora"}, {"V_MPEG4/ISO/ASP", "MPEG-4"}, {"V_MPEG4/ISO/SP", "MPEG-4"},
        {"V_MPEG4/ISO/AP", "MPEG-4"}, {"V_MPEG4/MS/V3", "MS MPEG-4"}, {"V_MPEG1", "MPEG-1"},
        {"V_MPEG2", "MPEG-2"}, {"V_MJPEG", "MJPEG"}, {"V_UNCOMPRESSED", "Raw"}, {"V_PRORES", "ProRes"},
        {"V_FFV1", "FFV1"}, {"A_MPEG/L3", "MP3"}, {"A_MPEG/L2", "MP2"}, {"A_MPEG/L1", "MP1"},
        {"A_AC3", "AC-3"}, {"A_EAC3", "E-AC-3"}, {"A_DTS", "DTS"}, {"A_VORBIS", "Vorbis"}, {"A_OPUS", "Opus"},
        {"A_FLAC", "FLAC"}, {"A_ALAC", "ALAC"}, {"A_TRUEHD", "TrueHD"}, {"A_WAVPACK4", "WavPack"},
    }};
    if (codecId.starts_with("A_AAC")) return "AAC";
    if (codecId.starts_with("A_PCM/")) return "PCM";
    return Find(kIds, codecId);
}

}  // namespace qorvane
