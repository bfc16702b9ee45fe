#pragma once
// The cover art an output carries: the source's front cover, or, when the
// source holds no picture, a picture file beside it, stored as the
// "WM/Picture" attribute.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tags/source_tags.h"

namespace qorvane {

// Larger pictures are left out: no player shows them, and the output's
// header would swell by as much.
inline constexpr std::size_t kMaxCoverBytes = 16 * 1024 * 1024;

// The front cover (type 3) when there is one, else the first picture;
// nullptr for none.
const SourcePicture* ChooseCover(const std::vector<SourcePicture>& pictures);

// The picture file that stands in for a cover in the source's folder:
// cover, folder, front, albumart (in this order) with .jpg, .jpeg or .png,
// in any letter case. Nothing when there is none.
std::optional<std::filesystem::path> CoverFileBeside(const std::filesystem::path& source);

// "image/jpeg" or "image/png" by the file's extension.
std::string CoverMimeType(const std::filesystem::path& file);

// The "WM/Picture" value: picture type (1 byte), data length (32-bit little
// endian), MIME type and description (each UTF-16LE ending with a NUL
// unit), then the picture's bytes.
std::string WmPictureValue(const SourcePicture& picture);

}  // namespace qorvane
