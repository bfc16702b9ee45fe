// The readers of a container's track list: any bytes, read without a crash,
// a hang or a read outside them; the same answer however often asked.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "encode/container_kind.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qorvane::MemoryBytes input(std::string_view(reinterpret_cast<const char*>(data), size));
    if (qorvane::ReadContainerKind(input) != qorvane::ReadContainerKind(input)) __builtin_trap();
    return 0;
}
