// The reader of the headers of MP4, QuickTime, 3GP on any bytes.
#include "facts_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qorvane::fuzzing::CheckFacts(qorvane::ReadMp4Facts, data, size);
    return 0;
}
