#include "tags/mp3_source_tag_reader.h"

#include "encode/command_line.h"
#include "tags/id3.h"

namespace qorvane {

std::optional<SourceTags> Mp3SourceTagReader::read(const std::filesystem::path& source) const {
    if (!IsMp3Source(source)) return std::nullopt;
    TID3v2 id3(legacy_);
    if (!id3.ReadTags(source)) return std::nullopt;
    SourceTags tags;
    tags.Genre = id3.Genre;
    tags.Track = id3.Track;
    tags.Comment = id3.Comment;
    return tags;
}

}  // namespace qorvane
