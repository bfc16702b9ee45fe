#include "tags/cover_art.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <system_error>

#include "base/ascii_case.h"
#include "base/text_codec.h"

namespace qorvane {

namespace {

void AppendUtf16z(std::string& out, std::string_view text) {
    for (const char16_t unit : Utf8ToUtf16(text)) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    out.append(2, '\0');
}

}  // namespace

const SourcePicture* ChooseCover(const std::vector<SourcePicture>& pictures) {
    const auto front = std::find_if(pictures.begin(), pictures.end(),
                                    [](const SourcePicture& picture) { return picture.type == 3; });
    if (front != pictures.end()) return &*front;
    return pictures.empty() ? nullptr : &pictures.front();
}

std::optional<std::filesystem::path> CoverFileBeside(const std::filesystem::path& source) {
    static constexpr const char* kNames[] = {"cover", "folder", "front", "albumart"};
    static constexpr const char* kExtensions[] = {".jpg", ".jpeg", ".png"};

    // Files by their lower-case name; of names that differ only in case,
    // the first in byte order, so the choice does not hang on the listing.
    std::map<std::string, std::filesystem::path> files;
    std::error_code error;
    const std::filesystem::path folder = source.has_parent_path() ? source.parent_path() : ".";
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::filesystem::path& file = it->path();
        auto [entry, added] = files.emplace(LowerAscii(file.filename().string()), file);
        if (!added && file.filename() < entry->second.filename()) entry->second = file;
    }
    for (const char* name : kNames) {
        for (const char* extension : kExtensions) {
            const auto found = files.find(std::string(name) + extension);
            if (found != files.end()) return found->second;
        }
    }
    return std::nullopt;
}

std::string CoverMimeType(const std::filesystem::path& file) {
    return LowerExtension(file) == ".png" ? "image/png" : "image/jpeg";
}

std::string WmPictureValue(const SourcePicture& picture) {
    std::string value(1, static_cast<char>(picture.type));
    const auto length = static_cast<std::uint32_t>(picture.data.size());
    for (int shift = 0; shift < 32; shift += 8) value += static_cast<char>((length >> shift) & 0xFF);
    AppendUtf16z(value, picture.mimeType);
    AppendUtf16z(value, picture.description);
    return value + picture.data;
}

}  // namespace qorvane
