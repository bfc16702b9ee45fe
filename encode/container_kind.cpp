#include "encode/container_kind.h"

#include "encode/header_facts.h"

namespace qorvane {

// The facts readers of these containers know their tracks; a cover picture
// gives them no video.
std::optional<MediaKind> ReadContainerKind(const ByteSource& input) {
    for (const auto reader : {ReadMatroskaFacts, ReadOggFacts, ReadAsfFacts, ReadMp4Facts}) {
        if (const auto facts = reader(input)) return facts->kind;
    }
    return std::nullopt;
}

}  // namespace qorvane
