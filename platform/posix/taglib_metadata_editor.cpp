#include "platform/posix/taglib_metadata_editor.h"

#include <taglib/asffile.h>
#include <taglib/asftag.h>

#include <cstring>
#include <string>
#include <system_error>

#include "platform/text_codec.h"

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
    if (file_) file_->save();
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
