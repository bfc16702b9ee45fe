#pragma once
// The tags of the job being encoded, in the fixed-size UTF-16 buffers the tag
// writer stores them from. The batch runner fills them from the job row
// before the job starts; the tag writer only reads them.

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace qorvane {

// Buffer capacities in code units, terminating NUL included.
inline constexpr std::size_t kTagTextCapacity = 251;  // at most 250 units of text
inline constexpr std::size_t kTagYearCapacity = 5;    // at most 4 units of text

// Every buffer is NUL-terminated; a NUL first unit means "no such value".
struct CurrentJobTags {
    std::array<char16_t, kTagTextCapacity> Title{};
    std::array<char16_t, kTagTextCapacity> Artist{};
    std::array<char16_t, kTagTextCapacity> Album{};
    std::array<char16_t, kTagTextCapacity> Copyright{};
    std::array<char16_t, kTagYearCapacity> Year{};
};

// Converts system-code-page text (UTF-8 here; ill-formed bytes become
// U+FFFD) into `buffer`, keeping at most buffer.size() - 1 code units and
// ending them with a NUL. A surrogate pair that does not fit whole is left
// out whole. An empty buffer is left untouched.
void TextToWide(std::string_view text, std::span<char16_t> buffer);

// Code units before the first NUL (the whole buffer when it holds none).
std::size_t WideLength(std::span<const char16_t> buffer);

// The job row's five texts, in the order of the buffers, cut to their
// capacities.
CurrentJobTags MakeCurrentJobTags(std::string_view title, std::string_view artist,
                                  std::string_view album, std::string_view copyright,
                                  std::string_view year);

}  // namespace qorvane
