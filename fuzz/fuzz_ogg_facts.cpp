// The reader of the headers of Ogg on any bytes.
#include "facts_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qorvane::fuzzing::CheckFacts(qorvane::ReadOggFacts, data, size);
    return 0;
}
