// The stand-in encoder's readers of what comes from outside: any input's
// headers, and any bytes on ffmpeg's report descriptor, read without a crash
// or a hang, and give only sound figures.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "encode/header_facts.h"
#include "stand_in_encoder/progress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const qorvane::MemoryBytes input(bytes);
    if (const auto facts = qorvane::ReadHeaderFacts(input); facts && facts->duration) {
        if (!std::isfinite(*facts->duration) || *facts->duration <= 0) __builtin_trap();
    }

    // The same bytes as ffmpeg's reports, arriving in two pieces.
    qorvane::encoder::FfmpegProgressReader reader;
    const std::size_t cut = size / 2;
    for (const std::string_view piece : {bytes.substr(0, cut), bytes.substr(cut)}) {
        for (const auto& block : reader.Feed(piece)) {
            if (block.outTime && !std::isfinite(*block.outTime)) __builtin_trap();
        }
    }
    return 0;
}
