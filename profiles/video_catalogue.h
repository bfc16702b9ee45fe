#pragma once
// The picture tables: frame sizes, pixel formats and preprocessing filters,
// where a list position stored in a profile becomes an encoder value or a
// text of the profile editor. Their order is part of the profile file format.

#include <optional>
#include <string_view>

namespace qorvane {

extern const std::string_view VideoFilterNames[19];
extern const std::string_view PixelFormatNames[14];

// Width and height of a frame size position 1..9; nothing for 0 (source
// size), 10 (custom: the profile's own texts) and anything outside.
struct FrameSize {
    std::string_view width;
    std::string_view height;
};
extern const FrameSize FrameSizeTable[9];
std::optional<FrameSize> FixedFrameSize(int videoSize);

// Pixel format name for positions 1..14; nothing for 0 (automatic) and
// anything outside.
std::optional<std::string_view> PixelFormatName(int pixelFormat);

}  // namespace qorvane
