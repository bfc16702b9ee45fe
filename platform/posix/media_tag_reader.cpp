#include "platform/posix/media_tag_reader.h"

#include "base/ascii_case.h"
#include "platform/posix/taglib_source_tags.h"
#include "tags/id3.h"

namespace qorvane {

namespace {

SourceTags TagsOf(TID3v2& id3) {
    SourceTags tags;
    tags.Title = std::move(id3.Title);
    tags.Artist = std::move(id3.Artist);
    tags.Album = std::move(id3.Album);
    tags.Year = std::move(id3.Year);
    tags.Copyright = std::move(id3.Copyright);
    tags.Genre = std::move(id3.Genre);
    tags.Track = id3.Track;
    tags.Comment = std::move(id3.Comment);
    tags.AlbumArtist = std::move(id3.AlbumArtist);
    tags.Disc = std::move(id3.Disc);
    tags.Composer = std::move(id3.Composer);
    tags.Pictures = std::move(id3.Pictures);
    return tags;
}

}  // namespace

std::optional<SourceTags> FileMediaTagReader::read(const std::filesystem::path& source) const {
    const std::string extension = LowerExtension(source);
    const bool pictures = pictures_ == Pictures::Read;
    if (ReadsWithTagLib(extension)) return ReadTagLibTags(source, pictures);

    TID3v2 id3(*legacy_);
    id3.ReadPictures = pictures;
    const bool mpeg = id3.ReadTags(source);
    // A WAV file without an ID3 tag: its RIFF INFO chunk, where most programs
    // keep a WAV file's tags.
    if (extension == ".wav" && !(mpeg && id3.MajorVersion != 0)) {
        if (auto info = ReadRiffInfoTags(source, *legacy_)) return info;
    }
    if (!mpeg) return std::nullopt;
    return TagsOf(id3);
}

}  // namespace qorvane
