#include "platform/posix/taglib_metadata_editor.h"

#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/asftag.h>
#include <taglib/tbytevectorstream.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

#include "base/text_codec.h"
#include "platform/posix/file_head_replacement.h"

namespace qorvane {

namespace {

// The value's code units up to its NUL (or to its end when it has none).
std::u16string DecodeStringValue(const std::byte* value, std::uint32_t byteLength) {
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

// A UTF-16LE text ending with a NUL unit at `offset`; moves offset past it.
std::optional<TagLib::String> TakeUtf16z(const std::byte* value, std::uint32_t byteLength, std::uint32_t& offset) {
    std::u16string text;
    for (; offset + 1 < byteLength; offset += 2) {
        const auto unit = static_cast<char16_t>(std::to_integer<unsigned>(value[offset]) |
                                                std::to_integer<unsigned>(value[offset + 1]) << 8);
        if (unit == u'\0') {
            offset += 2;
            return ToTagLibString(text);
        }
        text += unit;
    }
    return std::nullopt;
}

// A "WM/Picture" value: type, data length, MIME type, description, data;
// nothing when its parts do not add up.
std::optional<TagLib::ASF::Picture> ParsePicture(const std::byte* value, std::uint32_t byteLength) {
    constexpr std::uint32_t kFixedSize = 5;  // type and data length
    if (byteLength < kFixedSize) return std::nullopt;
    std::uint32_t dataLength = 0;
    for (int i = 0; i < 4; ++i) dataLength |= std::to_integer<std::uint32_t>(value[1 + i]) << (8 * i);
    std::uint32_t offset = kFixedSize;
    const std::optional<TagLib::String> mimeType = TakeUtf16z(value, byteLength, offset);
    const std::optional<TagLib::String> description =
        mimeType ? TakeUtf16z(value, byteLength, offset) : std::nullopt;
    if (!description || byteLength - offset != dataLength) return std::nullopt;
    TagLib::ASF::Picture picture;
    picture.setType(static_cast<TagLib::ASF::Picture::Type>(std::to_integer<int>(value[0])));
    picture.setMimeType(*mimeType);
    picture.setDescription(*description);
    picture.setPicture(TagLib::ByteVector(reinterpret_cast<const char*>(value + offset), dataLength));
    return picture;
}

// The attribute a value of this type becomes; nothing when it is refused.
std::optional<TagLib::ASF::Attribute> MakeAttribute(std::u16string_view name, AttributeDataType type,
                                                    const std::byte* value, std::uint32_t byteLength) {
    if (type == AttributeDataType::String) {
        return TagLib::ASF::Attribute(ToTagLibString(DecodeStringValue(value, byteLength)));
    }
    if (type == AttributeDataType::Binary && name == u"WM/Picture") {
        if (const std::optional<TagLib::ASF::Picture> picture = ParsePicture(value, byteLength)) {
            return TagLib::ASF::Attribute(*picture);
        }
    }
    return std::nullopt;
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

const TagLib::ByteVector kHeaderGuid("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
constexpr unsigned int kHeaderPrefixSize = 30;  // GUID, size, object count, two reserved bytes
// A header larger than this is not taken for one (pictures included, real
// headers stay far below it).
constexpr std::uint64_t kMaxHeaderSize = 64ULL << 20;

// The file properties object records the length of the whole file; TagLib
// leaves the old one there when the header grows. Sets it to `length`,
// unless the file is marked as a broadcast (length unknown).
void SetFileSizeField(TagLib::ByteVector& header, long long length) {
    static const TagLib::ByteVector kFilePropertiesGuid(
        "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
    constexpr unsigned int kObjectHeaderSize = 24;  // GUID and 64-bit size
    constexpr unsigned int kFileSizeOffset = 40;    // after the object header and the file id
    constexpr unsigned int kFlagsOffset = 88;
    constexpr unsigned int kBroadcastFlag = 1;

    if (header.size() < kHeaderPrefixSize || !header.startsWith(kHeaderGuid)) return;
    const unsigned int objectCount = header.toUInt(24, false);
    unsigned long long position = kHeaderPrefixSize;
    for (unsigned int i = 0; i < objectCount && position + kObjectHeaderSize <= header.size(); ++i) {
        const auto at = static_cast<unsigned int>(position);
        const auto objectSize = static_cast<unsigned long long>(header.toLongLong(at + 16, false));
        if (objectSize < kObjectHeaderSize || position + objectSize > header.size()) return;
        if (header.mid(at, 16) == kFilePropertiesGuid) {
            if (objectSize < kFlagsOffset + 4) return;
            if (header.toUInt(at + kFlagsOffset, false) & kBroadcastFlag) return;
            const TagLib::ByteVector size = TagLib::ByteVector::fromLongLong(length, false);
            std::copy(size.begin(), size.end(), header.begin() + at + kFileSizeOffset);
            return;
        }
        position += objectSize;
    }
}

// The header object's bytes, or nothing when the file does not begin with
// a plausible one.
std::optional<TagLib::ByteVector> ReadHeader(const std::filesystem::path& path, std::uint64_t fileSize) {
    std::ifstream in(path, std::ios::binary);
    std::string prefix(kHeaderPrefixSize, '\0');
    if (!in.read(prefix.data(), kHeaderPrefixSize)) return std::nullopt;
    const TagLib::ByteVector bytes(prefix.data(), kHeaderPrefixSize);
    if (!bytes.startsWith(kHeaderGuid)) return std::nullopt;
    const auto size = static_cast<std::uint64_t>(bytes.toLongLong(16, false));
    if (size < kHeaderPrefixSize || size > fileSize || size > kMaxHeaderSize) return std::nullopt;
    std::string header(size, '\0');
    in.seekg(0);
    if (!in.read(header.data(), static_cast<std::streamsize>(size))) return std::nullopt;
    return TagLib::ByteVector(header.data(), static_cast<unsigned int>(size));
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
    if (!std::filesystem::is_regular_file(path, error) || ::access(path.c_str(), W_OK) != 0) return false;
    const std::uint64_t fileSize = std::filesystem::file_size(path, error);
    if (error) return false;
    std::optional<TagLib::ByteVector> header = ReadHeader(path, fileSize);
    if (!header) return false;
    auto stream = std::make_unique<TagLib::ByteVectorStream>(*header);
    auto file = std::make_unique<TagLib::ASF::File>(stream.get(), false);
    if (!file->isValid() || file->tag() == nullptr) return false;
    path_ = path;
    headerSize_ = header->size();
    fileSize_ = fileSize;
    header_ = std::move(stream);
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
                                        std::uint32_t byteLength) {
    if (!file_ || !headerInfo_ || name.empty() || (value == nullptr && byteLength != 0)) return false;
    std::optional<TagLib::ASF::Attribute> attribute = MakeAttribute(name, type, value, byteLength);
    if (!attribute) return false;
    TagLib::ASF::Tag& tag = *file_->tag();
    if (streamNumber == 0 && type == AttributeDataType::String &&
        SetContentDescription(tag, name, attribute->toString())) {
        return true;
    }
    attribute->setStream(streamNumber);
    tag.setAttribute(ToTagLibString(name), *attribute);
    return true;
}

SaveResult TagLibMetadataEditor::Flush() {
    if (!file_) return {};
    SaveResult result{false, "TagLib could not render the header"};
    if (file_->save()) {
        TagLib::ByteVector& header = *header_->data();
        SetFileSizeField(header, static_cast<long long>(header.size() + (fileSize_ - headerSize_)));
        result = ReplaceFileHead(path_, headerSize_, std::string_view(header.data(), header.size()));
    }
    Close();
    return result;
}

void TagLibMetadataEditor::Close() {
    file_.reset();  // before the stream it reads
    header_.reset();
}

void TagLibMetadataEditor::ReleaseHeaderInfo() { headerInfo_ = false; }

void TagLibMetadataEditor::ReleaseEditor() {
    headerInfo_ = false;
    Close();
    editorCreated_ = false;
}

void TagLibMetadataEditor::UnloadRuntime() {
    ReleaseEditor();
    runtimeLoaded_ = false;
}

}  // namespace qorvane
