#pragma once
// Whether a container that may hold sound or pictures holds a moving
// picture, read from its own track list:
//
//   MP4, QuickTime, 3GP  moov/trak/mdia/hdlr "vide" or "soun"; a video
//                        track of one sample is a still picture
//   Matroska, WebM       Segment/Tracks/TrackEntry/TrackType 1 or 2
//   Ogg                  the codec header of each stream's first page:
//                        Theora, Daala, Dirac video; Vorbis, Opus, FLAC,
//                        Speex sound
//   ASF (.wma .wmv)      the stream type of each Stream Properties Object
//
// A cover picture is no video: MP4 keeps it in its metadata or as a video
// track of one sample; Matroska and ASF files that ffmpeg writes carry it as
// a video track of a still-image codec (JPEG, PNG), which counts as a
// picture here (so motion JPEG in those two containers is taken for one).
// The reader looks at a bounded number of bytes, never outside the input,
// and gives up on anything it cannot make sense of.

#include <optional>

#include "encode/byte_source.h"
#include "encode/media_inputs.h"

namespace qorvane {

// Video for a moving-picture track, else Audio for a sound track; nothing
// when the container is none of the above or names neither.
std::optional<MediaKind> ReadContainerKind(const ByteSource& input);

}  // namespace qorvane
