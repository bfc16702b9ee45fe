#include "platform/message_box.h"

#include <ostream>

namespace qorvane {

void StreamMessageBoxes::warning(const std::string& caption, const std::string& text) {
    out_ << caption << ": " << text << std::endl;
}

}  // namespace qorvane
