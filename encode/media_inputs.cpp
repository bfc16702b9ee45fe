#include "encode/media_inputs.h"

#include <algorithm>
#include <array>

#include "base/ascii_case.h"
#include "encode/container_kind.h"

namespace qorvane {

namespace {

constexpr bool ByName = false;
constexpr bool ByContent = true;
constexpr MediaKind Audio = MediaKind::Audio;
constexpr MediaKind Video = MediaKind::Video;

constexpr std::array kTable{
#define QORVANE_MEDIA_INPUT(extension, kind, how, mime) MediaInputType{extension, kind, how, mime},
#include "encode/media_input_table.inc"
#undef QORVANE_MEDIA_INPUT
};

}  // namespace

std::span<const MediaInputType> MediaInputTypes() { return kTable; }

const MediaInputType* FindMediaInputType(const std::filesystem::path& file) {
    const std::string extension = LowerExtension(file);
    const auto found = std::find_if(kTable.begin(), kTable.end(),
                                    [&](const MediaInputType& row) { return row.extension == extension; });
    return found == kTable.end() ? nullptr : &*found;
}

std::vector<std::string> MediaInputMimeTypes() {
    std::vector<std::string> types;
    for (const MediaInputType& row : kTable) {
        std::string_view rest = row.mimeTypes;
        while (!rest.empty()) {
            const std::size_t blank = rest.find(' ');
            const std::string type(rest.substr(0, blank));
            if (!type.empty() && std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
            rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
        }
    }
    return types;
}

std::optional<MediaKind> ClassifyMediaFile(const std::filesystem::path& file) {
    const MediaInputType* type = FindMediaInputType(file);
    if (type == nullptr) return std::nullopt;
    if (!type->byContent) return type->kind;
    const FileBytes bytes(file);
    return ReadContainerKind(bytes).value_or(type->kind);
}

}  // namespace qorvane
