#include "tags/id3_picture.h"

#include "base/ascii_case.h"
#include "base/text_codec.h"
#include "tags/id3_text.h"

namespace qorvane {

namespace {

// Any other format than JPG and PNG keeps its letters, as far as a zero byte.
std::string MimeOfImageFormat(std::string_view format) {
    const std::string lower = LowerAscii(format.substr(0, format.find('\0')));
    if (lower == "jpg") return "image/jpeg";
    return "image/" + Latin1ToUtf8(lower);
}

}  // namespace

std::optional<SourcePicture> DecodePictureFrame(std::string_view bytes, unsigned char encoding,
                                                bool shortLayout, const CodePage& legacy) {
    SourcePicture picture;
    std::size_t pos = 0;
    if (shortLayout) {
        if (bytes.size() < 3) return std::nullopt;
        picture.mimeType = MimeOfImageFormat(bytes.substr(0, 3));
        pos = 3;
    } else {
        const std::size_t zero = bytes.find('\0');
        if (zero == std::string_view::npos) return std::nullopt;
        picture.mimeType = Latin1ToUtf8(bytes.substr(0, zero));
        pos = zero + 1;
    }
    if (pos >= bytes.size()) return std::nullopt;
    picture.type = static_cast<std::uint8_t>(bytes[pos++]);
    const std::string_view rest = bytes.substr(pos);
    const std::size_t dataStart = DescriptionEnd(rest, encoding);
    if (dataStart == std::string_view::npos || dataStart == rest.size()) return std::nullopt;
    picture.description = DecodeFrameText(rest.substr(0, dataStart), encoding, legacy);
    picture.data = std::string(rest.substr(dataStart));
    return picture;
}

}  // namespace qorvane
