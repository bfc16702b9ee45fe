#pragma once
// The ID3v1 genre list as the program knows it: 148 names, indexed 0 to 147.
// The spellings (including the odd ones, "Juzz+Funk", "Bedob") are the ones
// the program has always shown and stored; they are kept as they are.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qorvane {

inline constexpr std::size_t kGenreCount = 148;

extern const std::array<std::string_view, kGenreCount> GenreNames;

// Genre resolution of an ID3v2 "TCON"/"TCO" text. "(17)" and "(17)Rock" give
// "Rock", "Rock" and "17" stay as they are, "(RX)" gives "RX)". Returns
// nothing when the text names a number outside the list ("(200)"): the genre
// read so far is then kept.
std::optional<std::string> ResolveGenre(std::string_view text);

}  // namespace qorvane
