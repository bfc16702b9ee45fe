#pragma once
// How big an output will be before it is encoded. For the modes that fix a
// bit rate a run's file is (audio + video bit rate) x duration plus what the
// ASF container adds; for the quality-based, lossless and other modes that
// fix none the size is unknown, never a guess.

#include <cstdint>
#include <optional>
#include <vector>

#include "encode/encoding_profile.h"
#include "encode/media_facts.h"

namespace qorvane {

// What one run writes.
struct OutputStreams {
    double audioBitsPerSecond = 0;  // 0: no sound
    double videoBitsPerSecond = 0;
    bool video = false;      // a picture stream is written
    double frameRate = 25;   // its pictures per second
};

// The size of the ASF file that carries these streams for `seconds`: the one
// formula of the container's share (header, packets, index).
std::uint64_t AsfFileBytes(const OutputStreams& streams, double seconds);

struct JobSize {
    // One per run, in the run planner's order; nothing where unknown.
    std::vector<std::optional<std::uint64_t>> runs;
    // Their sum; nothing when any run is unknown.
    std::optional<std::uint64_t> bytes;
};

// The runs a job of a source with these facts makes under a prepared
// profile, and their sizes. A source without a known duration has unknown
// sizes; the run count is the planner's all the same.
JobSize EstimateJobSize(const EncodingProfile& profile, const MediaFacts& facts);

}  // namespace qorvane
