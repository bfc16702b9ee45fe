#pragma once
// The walking that every reader of container headers shares: numbers in
// either byte order, and the parts a container is made of (MP4 boxes,
// Matroska elements) read one after the other inside their parent, in a
// bounded number of steps and never past the parent's end.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "encode/byte_source.h"

namespace qorvane::headers {

// Bounds on what one file may make a reader look at: parts per level.
inline constexpr int kMostChildren = 4096;

// The callers check that the bytes are there.
inline std::uint64_t Byte(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }
std::uint64_t Be(std::string_view b, std::size_t at, std::size_t count);
std::uint64_t Le(std::string_view b, std::size_t at, std::size_t count);

// A part of the input: a box or an element, its body [body, end).
struct Part {
    std::uint64_t id = 0;
    std::uint64_t body = 0;
    std::uint64_t end = 0;
    std::uint64_t size() const { return end - body; }
};

// Reads the part at an offset inside [at, end), or nothing where none can be
// read.
using PartReader = std::function<std::optional<Part>(const ByteSource&, std::uint64_t at, std::uint64_t end)>;

// Hands the parts in [begin, end) to `found` until it returns true.
void ForEachPart(const ByteSource& input, const PartReader& next, std::uint64_t begin, std::uint64_t end,
                 const std::function<bool(const Part&)>& found);
// The parts directly inside `parent`.
void ForEachChild(const ByteSource& input, const PartReader& next, const Part& parent,
                  const std::function<void(const Part&)>& each);
// The first part of this id directly inside `parent`.
std::optional<Part> FindChild(const ByteSource& input, const PartReader& next, const Part& parent, std::uint64_t id);

// The whole input as a parent.
inline Part Whole(const ByteSource& input) { return Part{0, 0, input.size()}; }

// ---- MP4, QuickTime: boxes ---------------------------------------------------------

constexpr std::uint64_t FourCc(const char (&name)[5]) {
    return std::uint64_t{static_cast<unsigned char>(name[0])} << 24 |
           std::uint64_t{static_cast<unsigned char>(name[1])} << 16 |
           std::uint64_t{static_cast<unsigned char>(name[2])} << 8 | static_cast<unsigned char>(name[3]);
}

// A box type as its four characters.
std::string FourCcText(std::uint64_t type);

std::optional<Part> ReadBox(const ByteSource& input, std::uint64_t at, std::uint64_t end);

// ---- Matroska, WebM: EBML elements ---------------------------------------------------

std::optional<Part> ReadElement(const ByteSource& input, std::uint64_t at, std::uint64_t end);

// An element's body as an unsigned number (up to 8 bytes) or as a float (4
// or 8 bytes); nothing for a body of another size.
std::optional<std::uint64_t> ReadUnsigned(const ByteSource& input, const Part& element);
std::optional<double> ReadFloat(const ByteSource& input, const Part& element);

}  // namespace qorvane::headers
