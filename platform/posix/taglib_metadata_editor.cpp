#include "platform/posix/taglib_metadata_editor.h"

#include <taglib/asffile.h>
#include <taglib/asftag.h>

#include <cstring>
#include <string>
#include <system_error>

#include "base/text_codec.h"

namespace qorvane {

namespace {

// The value's code units up to its NUL (or to its end when it has none).
std::u16string DecodeStringValue(const std::byte* value, std::uint16_t byteLength) {
    std::u16string text;
    for (std::size_t offset = 0; offset + 1 < byteLength; offset += sizeof(char16_t)) {
        char16_t unit;
        std::memcpy(&unit, value + offset, sizeof unit);
        if (unit == u'\0') break;
        text += unit;
    }
    return text;
}

TagLib::String ToTagLibString(std::u16string_view text) {
    return TagLib::String(Utf16ToUtf8(text), TagLib::String::UTF8);
}

// Stores a value under one of the content description's own fields; false
// for any other name.
bool SetContentDescription(TagLib::ASF::Tag& tag, std::u16string_view name,
                           const TagLib::String& value) {
    if (name == u"Title") {
        tag.setTitle(value);
    } else if (name == u"Author") {
        tag.setArtist(value);
    } else if (name == u"Copyright") {
        tag.setCopyright(value);
    } else if (name == u"Description") {
        tag.setComment(value);
    } else if (name == u"Rating") {
        tag.setRating(value);
    } else {
        return false;
    }
    return true;
}

// TagLib grows the header in place but leaves the file properties object's
// "file size" as it was, so the header would claim the old size. Sets it to
// the real length, unless the file is marked as a broadcast (size unknown).
void RefreshFileSizeField(TagLib::ASF::File& file) {
    static const TagLib::ByteVector kHeaderGuid(
        "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
    static const TagLib::ByteVector kFilePropertiesGuid(
        "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
    constexpr long kObjectHeaderSize = 24;  // GUID and 64-bit size
    constexpr long kFileSizeOffset = 40;    // after the object header and the file id
    constexpr long kFlagsOffset = 88;
    constexpr unsigned int kBroadcastFlag = 1;

    const long length = file.length();
    file.seek(0);
    const TagLib::ByteVector header = file.readBlock(30);
    if (header.size() < 30 || !header.startsWith(kHeaderGuid)) return;
    const long long headerSize = header.toLongLong(16, false);
    const unsigned int objectCount = header.mid(24, 4).toUInt(false);
    long long position = 30;
    for (unsigned int i = 0; i < objectCount; ++i) {
        if (position + kObjectHeaderSize > headerSize || headerSize > length) return;
        file.seek(static_cast<long>(position));
        const TagLib::ByteVector object = file.readBlock(kObjectHeaderSize);
        if (object.size() < kObjectHeaderSize) return;
        const long long objectSize = object.toLongLong(16, false);
        if (objectSize < kObjectHeaderSize || position + objectSize > headerSize) return;
        if (object.startsWith(kFilePropertiesGuid)) {
            if (objectSize < kFlagsOffset + 4) return;
            file.seek(static_cast<long>(position + kFlagsOffset));
            if (file.readBlock(4).toUInt(false) & kBroadcastFlag) return;
            file.seek(static_cast<long>(position + kFileSizeOffset));
            if (file.readBlock(8).toLongLong(false) == length) return;
            file.seek(static_cast<long>(position + kFileSizeOffset));
            file.writeBlock(TagLib::ByteVector::fromLongLong(length, false));
            return;
        }
        position += objectSize;
    }
}

}  // namespace

TagLibMetadataEditor::TagLibMetadataEditor() = default;
TagLibMetadataEditor::~TagLibMetadataEditor() = default;

bool TagLibMetadataEditor::LoadRuntime() {
    runtimeLoaded_ = true;
    return true;
}

bool TagLibMetadataEditor::CreateEditor() {
    if (!runtimeLoaded_ || editorCreated_) return false;
    editorCreated_ = true;
    return true;
}

bool TagLibMetadataEditor::Open(const std::filesystem::path& path) {
    if (!editorCreated_ || file_) return false;
    // Only a regular file: a directory or a pipe must not be read as media.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    auto file = std::make_unique<TagLib::ASF::File>(path.c_str(), false);
    if (!file->isOpen() || !file->isValid() || file->readOnly() || file->tag() == nullptr) {
        return false;
    }
    file_ = std::move(file);
    return true;
}

bool TagLibMetadataEditor::QueryHeaderInfo() {
    if (!file_) return false;
    headerInfo_ = true;
    return true;
}

bool TagLibMetadataEditor::SetAttribute(std::uint16_t streamNumber, std::u16string_view name,
                                        AttributeDataType type, const std::byte* value,
                                        std::uint16_t byteLength) {
    if (!file_ || !headerInfo_ || name.empty() || type != AttributeDataType::String ||
        (value == nullptr && byteLength != 0)) {
        return false;
    }
    const TagLib::String text = ToTagLibString(DecodeStringValue(value, byteLength));
    TagLib::ASF::Tag& tag = *file_->tag();
    if (streamNumber == 0 && SetContentDescription(tag, name, text)) return true;
    TagLib::ASF::Attribute attribute(text);
    attribute.setStream(streamNumber);
    tag.setAttribute(ToTagLibString(name), attribute);
    return true;
}

void TagLibMetadataEditor::Flush() {
    if (file_ && file_->save()) RefreshFileSizeField(*file_);
    file_.reset();
}

void TagLibMetadataEditor::Close() { file_.reset(); }

void TagLibMetadataEditor::ReleaseHeaderInfo() { headerInfo_ = false; }

void TagLibMetadataEditor::ReleaseEditor() {
    headerInfo_ = false;
    file_.reset();
    editorCreated_ = false;
}

void TagLibMetadataEditor::UnloadRuntime() {
    ReleaseEditor();
    runtimeLoaded_ = false;
}

}  // namespace qorvane
