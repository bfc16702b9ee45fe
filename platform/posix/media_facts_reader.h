#pragma once
// A source's facts from its own headers, in one pass over a cached read of
// the file (a small file costs one read, never a process):
//
//   - the core's readers (encode/header_facts.h) for WAV, MP3, AVI, MPEG
//     program and transport streams, MP4, Matroska, Ogg and ASF;
//   - TagLib's audio properties for the formats of sound alone it reads and
//     the core does not (FLAC, APE, WavPack, AIFF, Musepack, TTA), and for
//     sound the core's readers leave without a length or a bit rate.
//
// The kind is the one the table of inputs gives the file
// (encode/media_inputs.h): its extension's, or for a container that may hold
// either, what its track list says, read in the same pass.
//
//     const qorvane::FileMediaFactsReader reader;
//     if (auto facts = reader.read("clip.mkv")) show(facts->duration);

#include "encode/media_facts.h"

namespace qorvane {

class FileMediaFactsReader final : public MediaFactsReader {
public:
    // Nothing for a file the program does not take, one it cannot open, and
    // one in which neither reader finds sound or pictures. Safe to call from
    // several threads at once.
    std::optional<MediaFacts> read(const std::filesystem::path& source) const override;
};

}  // namespace qorvane
