// The reader of the headers of Matroska, WebM on any bytes.
#include "facts_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qorvane::fuzzing::CheckFacts(qorvane::ReadMatroskaFacts, data, size);
    return 0;
}
