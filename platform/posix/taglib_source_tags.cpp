#include "platform/posix/taglib_source_tags.h"

#include <taglib/asffile.h>
#include <taglib/infotag.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>

#include <array>
#include <memory>
#include <string_view>

#include "base/ascii_case.h"
#include "platform/posix/cached_read_stream.h"
#include "platform/posix/taglib_formats.h"
#include "platform/posix/taglib_pictures.h"
#include "tags/id3_text.h"

namespace qorvane {

namespace {

std::string Joined(const TagLib::StringList& values) {
    std::string out;
    for (const TagLib::String& value : values) {
        if (!out.empty()) out += "; ";
        out += value.to8Bit(true);
    }
    return out;
}

struct TextField {
    std::string SourceTags::*member;
    std::array<const char*, 2> keys;  // the first one present counts
};

// ffmpeg writes a Vorbis comment's comment as DESCRIPTION.
constexpr TextField kTextFields[] = {
    {&SourceTags::Title, {"TITLE"}},           {&SourceTags::Artist, {"ARTIST"}},
    {&SourceTags::Album, {"ALBUM"}},           {&SourceTags::Copyright, {"COPYRIGHT"}},
    {&SourceTags::Genre, {"GENRE"}},           {&SourceTags::Comment, {"COMMENT", "DESCRIPTION"}},
    {&SourceTags::AlbumArtist, {"ALBUMARTIST", "ALBUM ARTIST"}},
    {&SourceTags::Disc, {"DISCNUMBER"}},       {&SourceTags::Composer, {"COMPOSER"}},
};

SourceTags TagsOf(const TagLib::PropertyMap& properties) {
    SourceTags tags;
    for (const TextField& field : kTextFields) {
        for (const char* key : field.keys) {
            if (key == nullptr) break;
            const auto values = properties.find(key);
            if (values == properties.end() || values->second.isEmpty()) continue;
            tags.*field.member = Joined(values->second);
            break;
        }
    }
    const auto first = [&properties](const char* key) {
        const auto values = properties.find(key);
        return values == properties.end() || values->second.isEmpty() ? std::string()
                                                                       : values->second.front().to8Bit(true);
    };
    tags.Year = YearOfDate(first("DATE"));
    tags.Track = TrackValue(first("TRACKNUMBER"));
    return tags;
}

// ffmpeg names two ASF attributes its own way ("date" rather than
// "WM/Year", "Description" as an attribute rather than the content
// description's comment), so TagLib's map leaves them out; they stand in for
// what the map lacks.
void AddFfmpegAsfNames(TagLib::File& file, TagLib::PropertyMap& properties) {
    auto* asf = dynamic_cast<TagLib::ASF::File*>(&file);
    if (asf == nullptr || asf->tag() == nullptr) return;
    constexpr std::pair<const char*, const char*> kNames[] = {{"date", "DATE"}, {"Description", "COMMENT"}};
    for (const auto& [attribute, key] : kNames) {
        if (properties.contains(key) || !asf->tag()->contains(attribute)) continue;
        for (const TagLib::ASF::Attribute& value : asf->tag()->attribute(attribute)) {
            if (value.type() == TagLib::ASF::Attribute::UnicodeType) properties[key].append(value.toString());
        }
    }
}

// TagLib reads INFO text as UTF-8 and loses what is not. This handler hands
// the bytes over unchanged (carried as Latin-1), so that the code-page rules
// of the ID3 reader can decode them. TagLib's handler base has no virtual
// destructor; this one is never deleted through it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class RawInfoText final : public TagLib::RIFF::Info::StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override {
        return TagLib::String(data, TagLib::String::Latin1);
    }
    TagLib::ByteVector render(const TagLib::String& text) const override {
        return text.data(TagLib::String::Latin1);
    }
};
#pragma GCC diagnostic pop

void KeepRawInfoText() {
    static const RawInfoText handler;
    // Installed once, before any INFO tag is read; nothing here writes one.
    static const bool installed = (TagLib::RIFF::Info::Tag::setStringHandler(&handler), true);
    (void)installed;
}

}  // namespace

std::optional<SourceTags> ReadTagLibTags(const std::filesystem::path& source, bool pictures) {
    CachedReadStream stream(source);
    const std::unique_ptr<TagLib::File> file = OpenTagLibFile(stream, LowerExtension(source), false);
    if (!file) return std::nullopt;
    TagLib::PropertyMap properties = file->properties();
    AddFfmpegAsfNames(*file, properties);
    SourceTags tags = TagsOf(properties);
    if (pictures) tags.Pictures = TagLibPictures(*file);
    // Without its audio properties TagLib takes almost any bytes for an APE
    // or AIFF file with no tags: nothing either way.
    if (tags == SourceTags{}) return std::nullopt;
    return tags;
}

std::optional<SourceTags> ReadRiffInfoTags(const std::filesystem::path& source, const CodePage& legacyCodePage) {
    CachedReadStream stream(source);
    KeepRawInfoText();
    TagLib::RIFF::WAV::File wav(&stream, false);
    if (!wav.isValid() || !wav.hasInfoTag()) return std::nullopt;
    const TagLib::RIFF::Info::Tag& info = *wav.InfoTag();
    const auto text = [&info, &legacyCodePage](const char* id) {
        const TagLib::ByteVector bytes = info.fieldText(id).data(TagLib::String::Latin1);
        return DecodeFrameText(std::string_view(bytes.data(), bytes.size()), 0, legacyCodePage);
    };
    SourceTags tags;
    tags.Title = text("INAM");
    tags.Artist = text("IART");
    tags.Album = text("IPRD");
    tags.Year = YearOfDate(text("ICRD"));
    tags.Copyright = text("ICOP");
    tags.Genre = text("IGNR");
    tags.Comment = text("ICMT");
    const std::string track = text("ITRK");
    tags.Track = TrackValue(track.empty() ? text("IPRT") : track);  // ffmpeg writes IPRT
    if (tags == SourceTags{}) return std::nullopt;
    return tags;
}

}  // namespace qorvane
