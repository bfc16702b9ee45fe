#pragma once
// What a source file's own tags hold, as the program reads them: the five
// that fill a new row, and the rest that the output carries over. Texts are
// in the system's text (UTF-8 here); several values of one field come
// joined with "; ".

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qorvane {

// An embedded picture, as the source holds it.
struct SourcePicture {
    std::uint8_t type = 3;  // the ID3v2 / ASF picture types: 3 is the front cover
    std::string mimeType;
    std::string description;
    std::string data;  // the picture file's bytes
    bool operator==(const SourcePicture&) const = default;
};

struct SourceTags {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Copyright;
    std::string Genre;
    std::int32_t Track = 0;  // 0: none
    std::string Comment;
    std::string AlbumArtist;
    std::string Disc;  // as written: "1" or "1/2"
    std::string Composer;
    std::vector<SourcePicture> Pictures;
    bool operator==(const SourceTags&) const = default;
};

// Reads a source file's tags, by its format. Nothing when the file holds no
// tags the program can read; throws FileOpenError (platform/file_open_error.h)
// when it cannot be opened.
class MediaTagReader {
public:
    virtual ~MediaTagReader() = default;
    virtual std::optional<SourceTags> read(const std::filesystem::path& source) const = 0;
};

}  // namespace qorvane
