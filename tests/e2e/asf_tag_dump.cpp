#include "e2e/asf_tag_dump.h"

#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/asftag.h>

namespace qorvane::testing {

std::optional<AsfTagDump> DumpAsfTags(const std::filesystem::path& media) {
    TagLib::ASF::File file(media.c_str(), false);
    if (!file.isValid() || file.tag() == nullptr) return std::nullopt;
    const TagLib::ASF::Tag& tag = *file.tag();
    AsfTagDump dump;
    const auto keep = [&](const char* name, const TagLib::String& value) {
        if (!value.isEmpty()) dump.contentDescription[name] = value.to8Bit(true);
    };
    keep("Title", tag.title());
    keep("Author", tag.artist());
    keep("Copyright", tag.copyright());
    keep("Description", tag.comment());
    keep("Rating", tag.rating());
    for (const auto& [name, values] : tag.attributeListMap()) {
        if (name == "WM/Picture") {
            for (const TagLib::ASF::Attribute& value : values) {
                const TagLib::ASF::Picture picture = value.toPicture();
                const TagLib::ByteVector data = picture.picture();
                dump.pictures.push_back({static_cast<std::uint8_t>(picture.type()), picture.mimeType().to8Bit(true),
                                         picture.description().to8Bit(true), std::string(data.data(), data.size())});
            }
            continue;
        }
        std::vector<std::string>& texts = dump.attributes[name.to8Bit(true)];
        for (const TagLib::ASF::Attribute& value : values) texts.push_back(value.toString().to8Bit(true));
    }
    return dump;
}

}  // namespace qorvane::testing
