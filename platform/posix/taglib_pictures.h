#pragma once
// The pictures a file that TagLib has read holds, from its format's own
// picture list: FLAC picture blocks, Ogg METADATA_BLOCK_PICTURE comments,
// MP4 "covr" items, APE "Cover Art (Front)" / "(Back)" items, ASF
// "WM/Picture" attributes, and the "APIC" frames of the ID3v2 tags of AIFF
// and TTA files. Other formats hold none TagLib can reach.

#include <vector>

#include "tags/source_tags.h"

namespace TagLib {
class File;
}

namespace qorvane {

std::vector<SourcePicture> TagLibPictures(TagLib::File& file);

}  // namespace qorvane
