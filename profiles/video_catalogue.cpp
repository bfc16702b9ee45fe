#include "profiles/video_catalogue.h"

#include <iterator>

#include "platform/ui_text.h"

namespace qorvane {

namespace {

constexpr const char* kNoFilterText = QORVANE_UI_TEXT("なし");

}  // namespace

const std::string_view VideoFilterNames[19] = {
    kNoFilterText,
    "Deinterlace : sizex1 - fpsx1",
    "Deinterlace : size/2 - fpsx1",
    "Deinterlace : size/2 - fpsx2",
    "Deinterlace : height/2 - fpsx2",
    "Inverse telecine : fps 30 -> 24",
    "Inverse telecine : top AA",
    "Inverse telecine : top BB",
    "Inverse telecine : top BC",
    "Inverse telecine : top CD",
    "Inverse telecine : top DD",
    "Inverse telecine : bottom AA",
    "Inverse telecine : bottom BB",
    "Inverse telecine : bottom BC",
    "Inverse telecine : bottom CD",
    "Inverse telecine : bottom DD",
    "Interlaced",
    "Interlaced : top",
    "Interlaced : bottom",
};

const std::string_view PixelFormatNames[14] = {
    "I420",    "IYUV",    "RGB 1", "RGB 24", "RGB 32", "RGB 4", "RGB 555",
    "RGB 565", "RGB 8",   "UYVY",  "YUY2",   "YV12",   "YVU9",  "YVYU",
};

const FrameSize FrameSizeTable[9] = {
    {"720", "480"}, {"640", "480"}, {"352", "288"}, {"352", "240"}, {"320", "240"},
    {"256", "240"}, {"176", "144"}, {"176", "120"}, {"160", "120"},
};

std::optional<FrameSize> FixedFrameSize(int videoSize) {
    if (videoSize < 1 || videoSize > static_cast<int>(std::size(FrameSizeTable))) return std::nullopt;
    return FrameSizeTable[videoSize - 1];
}

std::optional<std::string_view> PixelFormatName(int pixelFormat) {
    if (pixelFormat < 1 || pixelFormat > static_cast<int>(std::size(PixelFormatNames))) return std::nullopt;
    return PixelFormatNames[pixelFormat - 1];
}

}  // namespace qorvane
