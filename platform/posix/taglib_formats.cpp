#include "platform/posix/taglib_formats.h"

#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mp4file.h>
#include <taglib/mpcfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/speexfile.h>
#include <taglib/trueaudiofile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavpackfile.h>

#include <array>
#include <type_traits>

namespace qorvane {

namespace {

using OpenFile = std::unique_ptr<TagLib::File> (*)(TagLib::IOStream*, bool);

template <class Format>
std::unique_ptr<TagLib::File> Open(TagLib::IOStream* stream, bool audioProperties) {
    if constexpr (std::is_same_v<Format, TagLib::FLAC::File>) {
        return std::make_unique<Format>(stream, TagLib::ID3v2::FrameFactory::instance(), audioProperties);
    } else {
        return std::make_unique<Format>(stream, audioProperties);
    }
}

struct Format {
    std::string_view extension;
    std::array<OpenFile, 4> open;  // tried in order until one reads the file
};

constexpr OpenFile kMp4 = Open<TagLib::MP4::File>;
constexpr OpenFile kOgg[] = {Open<TagLib::Ogg::Vorbis::File>, Open<TagLib::Ogg::FLAC::File>,
                             Open<TagLib::Ogg::Opus::File>, Open<TagLib::Ogg::Speex::File>};
constexpr OpenFile kAsf = Open<TagLib::ASF::File>;
constexpr OpenFile kMpc = Open<TagLib::MPC::File>;
constexpr OpenFile kAiff = Open<TagLib::RIFF::AIFF::File>;

constexpr Format kFormats[] = {
    {".flac", {Open<TagLib::FLAC::File>}},
    {".m4a", {kMp4}}, {".m4b", {kMp4}}, {".m4p", {kMp4}}, {".mp4", {kMp4}}, {".m4v", {kMp4}}, {".3gp", {kMp4}},
    {".ogg", {kOgg[0], kOgg[1], kOgg[2], kOgg[3]}}, {".oga", {kOgg[1], kOgg[0], kOgg[2], kOgg[3]}},
    {".opus", {kOgg[2]}}, {".spx", {kOgg[3]}},
    {".ape", {Open<TagLib::APE::File>}}, {".wv", {Open<TagLib::WavPack::File>}},
    {".mpc", {kMpc}}, {".mpp", {kMpc}}, {".mp+", {kMpc}},
    {".tta", {Open<TagLib::TrueAudio::File>}},
    {".aif", {kAiff}}, {".aiff", {kAiff}}, {".aifc", {kAiff}},
    {".wma", {kAsf}}, {".wmv", {kAsf}}, {".asf", {kAsf}},
};

}  // namespace

bool ReadsWithTagLib(std::string_view extension) {
    for (const Format& format : kFormats) {
        if (format.extension == extension) return true;
    }
    return false;
}

std::unique_ptr<TagLib::File> OpenTagLibFile(TagLib::IOStream& stream, std::string_view extension,
                                             bool audioProperties) {
    for (const Format& format : kFormats) {
        if (format.extension != extension) continue;
        for (const OpenFile open : format.open) {
            if (open == nullptr) break;
            stream.seek(0);
            std::unique_ptr<TagLib::File> file = open(&stream, audioProperties);
            if (file->isValid()) return file;
        }
    }
    return nullptr;
}

std::string TagLibCodecName(TagLib::File& file) {
    if (dynamic_cast<TagLib::FLAC::File*>(&file) || dynamic_cast<TagLib::Ogg::FLAC::File*>(&file)) return "FLAC";
    if (dynamic_cast<TagLib::Ogg::Vorbis::File*>(&file)) return "Vorbis";
    if (dynamic_cast<TagLib::Ogg::Opus::File*>(&file)) return "Opus";
    if (dynamic_cast<TagLib::Ogg::Speex::File*>(&file)) return "Speex";
    if (dynamic_cast<TagLib::APE::File*>(&file)) return "APE";
    if (dynamic_cast<TagLib::WavPack::File*>(&file)) return "WavPack";
    if (dynamic_cast<TagLib::MPC::File*>(&file)) return "Musepack";
    if (dynamic_cast<TagLib::TrueAudio::File*>(&file)) return "TTA";
    if (dynamic_cast<TagLib::ASF::File*>(&file)) return "WMA";
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(&file); mp4 && mp4->audioProperties()) {
        const auto codec = mp4->audioProperties()->codec();
        return codec == TagLib::MP4::Properties::AAC ? "AAC" : codec == TagLib::MP4::Properties::ALAC ? "ALAC" : "";
    }
    if (auto* aiff = dynamic_cast<TagLib::RIFF::AIFF::File*>(&file); aiff && aiff->audioProperties()) {
        const auto* properties = aiff->audioProperties();
        // AIFF-C names its compression; "NONE" and "sowt" (little-endian) are PCM.
        const TagLib::ByteVector type = properties->compressionType();
        if (!properties->isAiffC() || type == "NONE" || type == "sowt") return "PCM";
        return properties->compressionName().to8Bit(true);
    }
    return {};
}

}  // namespace qorvane
