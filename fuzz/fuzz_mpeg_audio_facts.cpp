// The reader of the headers of MPEG audio (MP3, MP2) on any bytes.
#include "facts_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qorvane::fuzzing::CheckFacts(qorvane::ReadMpegAudioFacts, data, size);
    return 0;
}
