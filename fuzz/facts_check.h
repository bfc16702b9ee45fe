#pragma once
// What every reader of media headers must do with any bytes: no crash, no
// hang, no read outside them (the sanitizers watch), the same answer however
// often asked, and only sound facts.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "encode/header_facts.h"

namespace qorvane::fuzzing {

using FactsReader = std::optional<MediaFacts> (*)(const ByteSource&);

inline void CheckFacts(FactsReader reader, const std::uint8_t* data, std::size_t size) {
    const MemoryBytes input(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::optional<MediaFacts> facts = reader(input);
    if (facts != reader(input)) __builtin_trap();
    if (!facts) return;
    if (!facts->audio && !facts->video) __builtin_trap();
    if ((facts->kind == MediaKind::Video) != facts->video.has_value()) __builtin_trap();
    if (facts->duration && !(std::isfinite(*facts->duration) && *facts->duration > 0)) __builtin_trap();
    if (facts->audio && (facts->audio->sampleRate < 0 || facts->audio->channels < 0 || facts->audio->bitRateKbps < 0))
        __builtin_trap();
    if (facts->video && (facts->video->width < 0 || facts->video->height < 0 ||
                         !(std::isfinite(facts->video->frameRate) && facts->video->frameRate >= 0)))
        __builtin_trap();
}

}  // namespace qorvane::fuzzing
