#include "platform/message_box.h"

#include <ostream>

namespace qorvane {

void StreamMessageBoxes::warning(const std::string& caption, const std::string& text) {
    out_ << caption << ": " << text << std::endl;
}

bool StreamMessageBoxes::question(const std::string& caption, const std::string& text) {
    out_ << caption << ": " << text << (answerYes_ ? " -> Yes" : " -> No") << std::endl;
    return answerYes_;
}

}  // namespace qorvane
