#pragma once
// The formats TagLib reads for the program, chosen by the extension: .flac;
// .m4a .m4b .m4p .mp4 .m4v .3gp; .ogg .oga (Vorbis, FLAC, Opus or Speex
// inside); .opus; .spx; .ape; .wv; .mpc .mpp .mp+; .tta; .aif .aiff .aifc;
// .wma .wmv .asf. TagLib 1.13 does not read Matroska.

#include <taglib/tfile.h>
#include <taglib/tiostream.h>

#include <memory>
#include <string>
#include <string_view>

namespace qorvane {

// True for the extensions above; `extension` is in lower case with its dot.
bool ReadsWithTagLib(std::string_view extension);

// The file on `stream` as the first of its extension's formats that reads
// it, its audio properties read or not; nullptr when none does.
std::unique_ptr<TagLib::File> OpenTagLibFile(TagLib::IOStream& stream, std::string_view extension,
                                             bool audioProperties);

// The codec of a file opened with its audio properties: "FLAC", "Vorbis",
// "AAC", "APE", "WavPack", "PCM" (AIFF), ...
std::string TagLibCodecName(TagLib::File& file);

}  // namespace qorvane
