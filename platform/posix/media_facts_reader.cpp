#include "platform/posix/media_facts_reader.h"

#include <taglib/audioproperties.h>

#include <algorithm>
#include <iterator>

#include "base/ascii_case.h"
#include "encode/header_facts.h"
#include "platform/file_open_error.h"
#include "platform/posix/cached_read_stream.h"
#include "platform/posix/taglib_formats.h"

namespace qorvane {

namespace {

// The core's readers read through the stream's blocks, which TagLib then
// finds already read.
class StreamBytes final : public ByteSource {
public:
    explicit StreamBytes(CachedReadStream& stream) : stream_(&stream) {}
    std::uint64_t size() const override { return static_cast<std::uint64_t>(stream_->length()); }

private:
    std::string ReadInside(std::uint64_t offset, std::size_t length) const override {
        return stream_->ReadAt(offset, length);
    }

    CachedReadStream* stream_;
};

// Formats of sound alone that the core has no reader of: they go to TagLib
// straight away (a FLAC file behind an ID3v2 tag is no MP3 file).
bool TagLibOnly(std::string_view extension) {
    static constexpr std::string_view kExtensions[] = {".flac", ".ape", ".wv",  ".aif", ".aiff",
                                                       ".aifc", ".mpc", ".mpp", ".mp+", ".tta"};
    return std::find(std::begin(kExtensions), std::end(kExtensions), extension) != std::end(kExtensions);
}

// What TagLib's audio properties add to what the headers gave: the length
// and any figure still unknown.
void AddTagLibProperties(CachedReadStream& stream, std::string_view extension, std::optional<MediaFacts>& facts) {
    const std::unique_ptr<TagLib::File> file = OpenTagLibFile(stream, extension, true);
    const TagLib::AudioProperties* properties = file ? file->audioProperties() : nullptr;
    if (properties == nullptr || (properties->lengthInMilliseconds() <= 0 && properties->sampleRate() <= 0)) return;
    if (!facts) facts = MediaFacts();
    if (!facts->audio) facts->audio = AudioFacts();
    AudioFacts& audio = *facts->audio;
    if (audio.codec.empty()) audio.codec = TagLibCodecName(*file);
    if (audio.sampleRate == 0) audio.sampleRate = properties->sampleRate();
    if (audio.channels == 0) audio.channels = properties->channels();
    if (audio.bitRateKbps == 0) audio.bitRateKbps = properties->bitrate();
    if (!facts->duration && properties->lengthInMilliseconds() > 0)
        facts->duration = properties->lengthInMilliseconds() / 1000.0;
}

}  // namespace

std::optional<MediaFacts> FileMediaFactsReader::read(const std::filesystem::path& source) const {
    const MediaInputType* type = FindMediaInputType(source);
    if (type == nullptr) return std::nullopt;
    try {
        CachedReadStream stream(source);
        const std::string extension = LowerExtension(source);
        std::optional<MediaFacts> facts;
        if (!TagLibOnly(extension)) facts = ReadHeaderFacts(StreamBytes(stream));
        const bool soundUnsure = !facts || (!facts->video && (!facts->duration || facts->audio->bitRateKbps == 0));
        if (soundUnsure && ReadsWithTagLib(extension)) AddTagLibProperties(stream, extension, facts);
        if (!facts) return std::nullopt;
        // A container read by content is what its tracks say; any other file
        // is what its extension says.
        if (!type->byContent) facts->kind = type->kind;
        return facts;
    } catch (const FileOpenError&) {
        return std::nullopt;
    }
}

}  // namespace qorvane
