// The reader of the headers of ASF (.wma .wmv) on any bytes.
#include "facts_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qorvane::fuzzing::CheckFacts(qorvane::ReadAsfFacts, data, size);
    return 0;
}
