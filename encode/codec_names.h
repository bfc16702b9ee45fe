#pragma once
// The short names a codec is shown by ("H.264", "AAC", "PCM", ...), from the
// codes the containers name it with. Empty for a code not known here.

#include <cstdint>
#include <string>
#include <string_view>

namespace qorvane {

// A WAVEFORMATEX format tag (WAV, AVI, ASF, Matroska's A_MS/ACM).
std::string WaveFormatName(std::uint32_t formatTag);

// A video FourCC (AVI, ASF, MP4 sample entries, Matroska's V_MS/VFW/FOURCC);
// an unknown one that is printable text is shown as it is.
std::string VideoFourCcName(std::string_view fourCc);

// Still-image codecs, by FourCC: a video track of one of them in Matroska or
// ASF is a cover picture (so motion JPEG in those two is taken for one).
bool IsPictureFourCc(std::string_view fourCc);

// An MP4 sound sample entry's type; for "mp4a" the object type of its
// decoder configuration decides (0 when there is none).
std::string Mp4SoundName(std::string_view sampleEntry, std::uint32_t objectType);

// A Matroska CodecID ("V_MPEG4/ISO/AVC", "A_OPUS", ...).
std::string MatroskaCodecName(std::string_view codecId);

}  // namespace qorvane
