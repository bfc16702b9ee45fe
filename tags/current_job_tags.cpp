#include "tags/current_job_tags.h"

#include <algorithm>

#include "base/text_codec.h"

namespace qorvane {

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

void TextToWide(std::string_view text, std::span<char16_t> buffer) {
    if (buffer.empty()) return;
    const std::u16string wide = Utf8ToUtf16(text);
    std::size_t count = std::min(wide.size(), buffer.size() - 1);
    // Half a character is worse than none: the conversion only ever yields
    // whole pairs, so a high surrogate in the last kept place lost its partner.
    if (count > 0 && count < wide.size() && IsHighSurrogate(wide[count - 1])) --count;
    std::copy_n(wide.begin(), count, buffer.begin());
    buffer[count] = u'\0';
}

std::size_t WideLength(std::span<const char16_t> buffer) {
    return static_cast<std::size_t>(std::find(buffer.begin(), buffer.end(), u'\0') -
                                    buffer.begin());
}

CurrentJobTags MakeCurrentJobTags(std::string_view title, std::string_view artist,
                                  std::string_view album, std::string_view copyright,
                                  std::string_view year) {
    CurrentJobTags tags;
    TextToWide(title, tags.Title);
    TextToWide(artist, tags.Artist);
    TextToWide(album, tags.Album);
    TextToWide(copyright, tags.Copyright);
    TextToWide(year, tags.Year);
    return tags;
}

}  // namespace qorvane
