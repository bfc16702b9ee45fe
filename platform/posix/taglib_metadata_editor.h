#pragma once
// The metadata editor on Linux: TagLib's ASF support stands in for the
// Windows Media runtime. TagLib is linked in, so the runtime is always
// there; every other failure (missing file, not ASF, read-only) makes Open
// answer false, and nothing is ever written then.
//
// TagLib edits only a copy of the file's header, in memory; Flush then
// writes the new header and the untouched rest into a new file beside the
// old one and renames it into place (platform/posix/file_head_replacement.h),
// so a full disk leaves the encoder's file exactly as it was. TagLib itself
// would rewrite the file in place and not notice a write that failed.
//
// "Title", "Author", "Copyright", "Description" and "Rating" live in the
// file's content description object, which TagLib reaches through its own
// setters; every other name becomes an attribute of its own (extended
// content description for stream 0, metadata object for other streams).
// After saving, the header's record of the file size is brought up to date,
// as the Windows runtime does; TagLib alone would leave the old size there.

#include <memory>

#include "platform/metadata_editor.h"

namespace TagLib {
class ByteVectorStream;
namespace ASF {
class File;
}
}  // namespace TagLib

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
    // AttributeDataType::String, and Binary: "WM/Picture" only in its own
    // layout, which becomes TagLib's ASF picture so that other readers find
    // it (a value over 64 KiB lands in the metadata library object).
    bool SetAttribute(std::uint16_t streamNumber, std::u16string_view name,
                      AttributeDataType type, const std::byte* value,
                      std::uint32_t byteLength) override;
    SaveResult Flush() override;
    void Close() override;
    void ReleaseHeaderInfo() override;
    void ReleaseEditor() override;
    void UnloadRuntime() override;

private:
    bool runtimeLoaded_ = false;
    bool editorCreated_ = false;
    bool headerInfo_ = false;
    std::filesystem::path path_;
    std::uint64_t headerSize_ = 0;  // of the file as it is on disk
    std::uint64_t fileSize_ = 0;
    std::unique_ptr<TagLib::ByteVectorStream> header_;  // the header's bytes, edited here
    std::unique_ptr<TagLib::ASF::File> file_;           // reads and renders header_
};

}  // namespace qorvane
