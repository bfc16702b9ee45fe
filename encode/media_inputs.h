#pragma once
// Which files the program takes, and whether each becomes a Windows Media
// audio (.wma) or video (.wmv) file. One table (media_input_table.inc) is
// read by the acceptance of dropped and named files, the command line, the
// stand-in encoder, the desktop entry and the AppStream metainfo.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qorvane {

enum class MediaKind { Audio, Video };

struct MediaInputType {
    std::string_view extension;  // with its dot, in lower case
    MediaKind kind;              // for a container read by content: when it cannot be read
    bool byContent;              // a container that may hold either: its track list decides
    std::string_view mimeTypes;  // blank separated
};

std::span<const MediaInputType> MediaInputTypes();

// The row of a file name's extension (from its last dot on, in any ASCII
// letter case); nothing for a file the program does not take.
const MediaInputType* FindMediaInputType(const std::filesystem::path& file);

// Every MIME type of the table once, in the table's order.
std::vector<std::string> MediaInputMimeTypes();

// What a file becomes: its extension's kind, or for a container that may
// hold either, what its track list says (a cover picture is no video);
// nothing for a file the program does not take. Reads at most the file's
// headers.
std::optional<MediaKind> ClassifyMediaFile(const std::filesystem::path& file);

}  // namespace qorvane
