#include "encode/container_parts.h"

#include <bit>
#include <cstring>
#include <string>
#include <utility>

namespace qorvane::headers {

std::uint64_t Be(std::string_view b, std::size_t at, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < count; ++i) value = value << 8 | Byte(b, at + i);
    return value;
}

std::uint64_t Le(std::string_view b, std::size_t at, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = count; i > 0; --i) value = value << 8 | Byte(b, at + i - 1);
    return value;
}

void ForEachPart(const ByteSource& input, const PartReader& next, std::uint64_t begin, std::uint64_t end,
                 const std::function<bool(const Part&)>& found) {
    std::uint64_t at = begin;
    for (int seen = 0; seen < kMostChildren && at < end; ++seen) {
        const std::optional<Part> part = next(input, at, end);
        if (!part || part->end <= at || found(*part)) return;
        at = part->end;
    }
}

void ForEachChild(const ByteSource& input, const PartReader& next, const Part& parent,
                  const std::function<void(const Part&)>& each) {
    ForEachPart(input, next, parent.body, parent.end, [&](const Part& part) {
        each(part);
        return false;
    });
}

std::optional<Part> FindChild(const ByteSource& input, const PartReader& next, const Part& parent, std::uint64_t id) {
    std::optional<Part> child;
    ForEachPart(input, next, parent.body, parent.end, [&](const Part& part) {
        if (part.id == id) child = part;
        return child.has_value();
    });
    return child;
}

std::string FourCcText(std::uint64_t type) {
    return {static_cast<char>(type >> 24), static_cast<char>(type >> 16), static_cast<char>(type >> 8),
            static_cast<char>(type)};
}

std::optional<Part> ReadBox(const ByteSource& input, std::uint64_t at, std::uint64_t end) {
    const std::string head = input.Read(at, 16);
    if (head.size() < 8) return std::nullopt;
    std::uint64_t size = Be(head, 0, 4);
    std::uint64_t header = 8;
    if (size == 1) {
        if (head.size() < 16) return std::nullopt;
        size = Be(head, 8, 8);
        header = 16;
    } else if (size == 0) {
        size = end - at;  // to the end of what holds it
    }
    if (size < header || header > end - at) return std::nullopt;
    return Part{Be(head, 4, 4), at + header, size > end - at ? end : at + size};
}

namespace {

// An EBML variable-length number: its length from the first byte's leading
// zeros (at most `longest`), the marker bit kept for an ID.
std::optional<std::pair<std::uint64_t, std::size_t>> ReadVint(std::string_view b, std::size_t at, std::size_t longest,
                                                              bool keepMarker) {
    if (at >= b.size()) return std::nullopt;
    const auto first = static_cast<unsigned char>(b[at]);
    std::size_t length = 1;
    while (length <= longest && (first & (0x80u >> (length - 1))) == 0) ++length;
    if (length > longest || at + length > b.size()) return std::nullopt;
    std::uint64_t value = Be(b, at, length);
    if (!keepMarker) value &= (std::uint64_t{1} << (7 * length)) - 1;
    return std::pair{value, length};
}

}  // namespace

std::optional<Part> ReadElement(const ByteSource& input, std::uint64_t at, std::uint64_t end) {
    const std::string head = input.Read(at, 12);
    const auto id = ReadVint(head, 0, 4, true);
    if (!id) return std::nullopt;
    const auto size = ReadVint(head, id->second, 8, false);
    if (!size) return std::nullopt;
    const std::uint64_t body = at + id->second + size->second;
    const bool unknown = size->first == (std::uint64_t{1} << (7 * size->second)) - 1;
    if (body > end) return std::nullopt;
    return Part{id->first, body, unknown || size->first > end - body ? end : body + size->first};
}

std::optional<std::uint64_t> ReadUnsigned(const ByteSource& input, const Part& element) {
    if (element.size() > 8) return std::nullopt;
    const std::string body = input.Read(element.body, static_cast<std::size_t>(element.size()));
    if (body.size() != element.size()) return std::nullopt;
    return Be(body, 0, body.size());
}

std::optional<double> ReadFloat(const ByteSource& input, const Part& element) {
    const auto bits = ReadUnsigned(input, element);
    if (!bits) return std::nullopt;
    if (element.size() == 4) return std::bit_cast<float>(static_cast<std::uint32_t>(*bits));
    if (element.size() == 8) return std::bit_cast<double>(*bits);
    return std::nullopt;
}

}  // namespace qorvane::headers
