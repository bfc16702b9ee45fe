#pragma once
// `qorvane-cli info`: what each source is, the outputs its job would make
// under a profile and their estimated sizes, and the total.
//
//   file: PATH
//   kind: audio|video
//   duration: SECONDS                     (three decimals; "?" when unknown)
//   audio: CODEC RATE CHANNELS KBPS       (a source with sound)
//   video: CODEC WIDTHxHEIGHT FPS         (a video source)
//   output: NAME BYTES                    (one per planned run; "?" when unknown)
//   ...
//   total: BYTES UNKNOWN_COUNT DURATION   (known bytes; files of unknown size; seconds)

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "encode/encoding_profile.h"
#include "encode/media_facts.h"

namespace qorvane::cli {

// The profile file a --profile value names: a .wpf file as given, else a
// display name in `profileDir` (empty: the temporary profile).
std::filesystem::path ProfileFileOf(const std::string& option, const std::filesystem::path& profileDir);

// Status 0; 2 when a file's facts could not be read (it is named on `err`
// and counted as unknown).
int PrintInfo(const std::vector<std::string>& files, const EncodingProfile& profile, const MediaFactsReader& reader,
              std::ostream& out, std::ostream& err);

}  // namespace qorvane::cli
