#pragma once
// The source tags the program has always carried over: an MP3 source's
// genre, track and comment from its ID3 tags (TID3v2). Any other source
// reads as untagged, without being opened.

#include "platform/code_page.h"
#include "tags/source_tags.h"

namespace qorvane {

class Mp3SourceTagReader final : public MediaTagReader {
public:
    // legacyCodePage decodes 8-bit text that is not UTF-8; it must outlive
    // the reader.
    explicit Mp3SourceTagReader(const CodePage& legacyCodePage) : legacy_(legacyCodePage) {}

    std::optional<SourceTags> read(const std::filesystem::path& source) const override;

private:
    const CodePage& legacy_;
};

}  // namespace qorvane
