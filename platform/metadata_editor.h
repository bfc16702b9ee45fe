#pragma once
// The metadata editor of a Windows Media runtime: the few operations the tag
// writer needs to store header attributes in a finished .wma/.wmv file.
//
// The tag writer drives one editor through a fixed sequence per call:
//
//     LoadRuntime → CreateEditor → Open(path) → QueryHeaderInfo
//       → SetAttribute × n → Flush or Close
//       → ReleaseHeaderInfo → ReleaseEditor → UnloadRuntime
//
// An operation that reports false was not carried out, and the caller only
// undoes what succeeded before it (a failed Open is followed by
// ReleaseEditor and UnloadRuntime, never by Close). One object serves any
// number of such sequences one after the other; nothing is kept between them.
// An implementation never throws and never shows anything to the user.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace qorvane {

// Attribute value types, numbered as the Windows Media runtime numbers them.
enum class AttributeDataType : std::uint32_t {
    Dword = 0,
    String = 1,  // NUL-terminated UTF-16
    Binary = 2,
    Bool = 3,
    Qword = 4,
    Word = 5,
    Guid = 6,
};

// Whether a file's edits were saved; when not, why (words for the user, such
// as "No space left on device"). A save that fails leaves the file byte for
// byte as it was before the edit.
struct SaveResult {
    bool saved = true;
    std::string reason;
    bool operator==(const SaveResult&) const = default;
};

class MetadataEditor {
public:
    virtual ~MetadataEditor() = default;

    // Makes the runtime available. False when it is missing or lacks the
    // editor; nothing then stays loaded.
    virtual bool LoadRuntime() = 0;

    // Creates an editor object. False when the runtime refuses.
    virtual bool CreateEditor() = 0;

    // Opens a media file for editing its header. False when the file is
    // missing, unreadable, not a Windows Media (ASF) file or cannot be written.
    virtual bool Open(const std::filesystem::path& path) = 0;

    // Obtains the header-information part of the opened editor, through
    // which attributes are stored. False when it is not available.
    virtual bool QueryHeaderInfo() = 0;

    // Stores one attribute, replacing any earlier value of that name.
    // streamNumber 0 addresses the whole file. `value` points to byteLength
    // bytes; for AttributeDataType::String they are UTF-16 code units in
    // native byte order ending with a NUL, so byteLength = (units + 1) * 2.
    // "WM/Picture" is AttributeDataType::Binary in the file's own layout
    // (tags/cover_art.h). The length is 32-bit because a picture outgrows
    // the 16 bits of IWMHeaderInfo::SetAttribute; a Windows implementation
    // stores such a value through IWMHeaderInfo3::AddAttribute.
    // False when the value is refused.
    virtual bool SetAttribute(std::uint16_t streamNumber, std::u16string_view name,
                              AttributeDataType type, const std::byte* value,
                              std::uint32_t byteLength) = 0;

    // Saves the stored attributes into the file and closes it. The file is
    // either saved whole or left as it was, never half written.
    virtual SaveResult Flush() = 0;
    // Closes the file without saving anything; the file stays byte for byte
    // as it was.
    virtual void Close() = 0;

    // Releases, in this order, what QueryHeaderInfo, CreateEditor and
    // LoadRuntime acquired. An editor released while its file is still open
    // closes the file without saving.
    virtual void ReleaseHeaderInfo() = 0;
    virtual void ReleaseEditor() = 0;
    virtual void UnloadRuntime() = 0;
};

}  // namespace qorvane
