#pragma once
// A file's facts (kind, length, codecs, picture size) as its own headers
// give them, read without starting a process:
//
//   WAV (RIFF "WAVE")    "fmt " and the "data" chunk's size / the byte rate
//   AVI (RIFF "AVI ")    "avih" (OpenDML "dmlh" frame total), each stream's
//                        "strh" and "strf"
//   MPEG audio (MP3)     the first frame after any ID3v2 tags; a Xing/Info
//                        or VBRI frame count, else the audio bytes / the
//                        first frame's bit rate
//   MPEG-PS, MPEG-TS     the first PTS and the last of each stream; MPEG
//                        video's sequence header, MPEG audio and AC-3 frames
//   MP4, QuickTime, 3GP  moov: mvhd, each trak's tkhd, mdhd, hdlr, stsd,
//                        stsz
//   Matroska, WebM       Segment/Info and Segment/Tracks
//   Ogg                  each stream's codec header and its last granule
//                        position
//   ASF (.wma .wmv)      File Properties and Stream Properties Objects
//
// Of the tracks, the first sound track gives `audio` and the first moving
// picture `video`; a cover picture is no video (see container_kind.h). The
// kind is Video with a moving picture, else Audio. The readers look at a
// bounded number of bytes, never outside the input, and give up on anything
// they cannot make sense of: nothing for an input with neither kind of
// track, no duration where none can be had, 0 for a figure not known.

#include <optional>

#include "encode/byte_source.h"
#include "encode/media_facts.h"

namespace qorvane {

// Whichever of the readers below knows the input. Of a file of sound alone
// whose headers give no bit rate, its size over its duration.
std::optional<MediaFacts> ReadHeaderFacts(const ByteSource& input);

// The readers one by one (the fuzzers take each on its own).
std::optional<MediaFacts> ReadRiffFacts(const ByteSource& input);
std::optional<MediaFacts> ReadMpegAudioFacts(const ByteSource& input);
std::optional<MediaFacts> ReadMpegStreamFacts(const ByteSource& input);
std::optional<MediaFacts> ReadMp4Facts(const ByteSource& input);
std::optional<MediaFacts> ReadMatroskaFacts(const ByteSource& input);
std::optional<MediaFacts> ReadOggFacts(const ByteSource& input);
std::optional<MediaFacts> ReadAsfFacts(const ByteSource& input);

// What a reader found, made sound: nothing without a track; a duration only
// when positive and finite; figures out of range (a rate below zero or past
// any real one) as unknown. The kind follows the tracks.
std::optional<MediaFacts> FactsOf(std::optional<double> duration, std::optional<AudioFacts> audio,
                                  std::optional<VideoFacts> video);

// Bits per second as whole kbit/s, 0 for a figure that is no rate.
int KbpsOf(double bitsPerSecond);
// A sample rate stored as a floating-point number, in whole hertz; 0 for
// one that is not a number or out of all reason.
int HertzOf(double rate);

}  // namespace qorvane
