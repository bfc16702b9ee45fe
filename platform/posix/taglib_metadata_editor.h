#pragma once
// The metadata editor on Linux: TagLib's ASF support stands in for the
// Windows Media runtime. TagLib is linked in, so the runtime is always
// there; every other failure (missing file, not ASF, read-only) makes Open
// answer false, and nothing is ever written then.
//
// "Title", "Author", "Copyright", "Description" and "Rating" live in the
// file's content description object, which TagLib reaches through its own
// setters; every other name becomes an attribute of its own (extended
// content description for stream 0, metadata object for other streams).
// After saving, the header's record of the file size is brought up to date,
// as the Windows runtime does; TagLib alone would leave the old size there.

#include <memory>

#include "platform/metadata_editor.h"

namespace TagLib::ASF {
class File;
}

namespace qorvane {

class TagLibMetadataEditor final : public MetadataEditor {
public:
    TagLibMetadataEditor();
    ~TagLibMetadataEditor() override;
    TagLibMetadataEditor(const TagLibMetadataEditor&) = delete;
    TagLibMetadataEditor& operator=(const TagLibMetadataEditor&) = delete;

    bool LoadRuntime() override;
    bool CreateEditor() override;
    bool Open(const std::filesystem::path& path) override;
    bool QueryHeaderInfo() override;
    // Only AttributeDataType::String is accepted.
    bool SetAttribute(std::uint16_t streamNumber, std::u16string_view name,
                      AttributeDataType type, const std::byte* value,
                      std::uint16_t byteLength) override;
    void Flush() override;
    void Close() override;
    void ReleaseHeaderInfo() override;
    void ReleaseEditor() override;
    void UnloadRuntime() override;

private:
    bool runtimeLoaded_ = false;
    bool editorCreated_ = false;
    bool headerInfo_ = false;
    std::unique_ptr<TagLib::ASF::File> file_;
};

}  // namespace qorvane
