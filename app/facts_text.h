#pragma once
// How the list writes what a source is and what it will make: its length,
// its format, and sizes in the units a file manager uses.

#include <cstdint>
#include <string>

#include "encode/media_facts.h"

namespace qorvane {

// "3:07" below an hour, "1:02:03" from an hour on (whole seconds, rounded).
std::string FormatDuration(double seconds);

// "FLAC 44.1kHz 2ch"; a video source leads with its pictures, "H.264
// 1280x720 29.97fps", and adds its sound after a comma. What is unknown is
// left out.
std::string FormatMediaFacts(const MediaFacts& facts);

// "512 B", "850 KB", "4.3 MB", "12 MB", "1.2 GB" (1 KB = 1024 bytes): one
// decimal below 10 of a unit.
std::string FormatByteSize(std::uint64_t bytes);

// A number with up to `decimals` decimals, without trailing zeros: "29.97", "25".
std::string TrimmedNumber(double value, int decimals);

}  // namespace qorvane
