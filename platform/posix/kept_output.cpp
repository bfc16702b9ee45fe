#include "platform/posix/kept_output.h"

#include <algorithm>

namespace qorvane {

KeptOutput::KeptOutput(std::size_t headLimit, std::size_t tailLimit)
    : headLimit_(headLimit), tailLimit_(tailLimit) {}

void KeptOutput::add(std::string_view bytes) {
    total_ += bytes.size();
    const std::size_t toHead = std::min(headLimit_ - head_.size(), bytes.size());
    head_.append(bytes.substr(0, toHead));
    bytes.remove_prefix(toHead);

    const std::size_t keep = tailLimit_ + 1;
    if (bytes.size() >= keep) {
        tail_.assign(bytes.substr(bytes.size() - keep));
        return;
    }
    tail_.append(bytes);
    if (tail_.size() > 2 * keep) tail_.erase(0, tail_.size() - keep);
}

std::string KeptOutput::text() const {
    if (total_ == 0) return {};
    const std::uint64_t rest = total_ - head_.size();
    std::string_view tail(tail_);
    if (tail.size() > tailLimit_ + 1) tail.remove_prefix(tail.size() - (tailLimit_ + 1));

    std::string result = head_;
    if (rest > tailLimit_) {
        // `tail` holds one byte before the cut.
        const auto lineStart = tail.find('\n');
        tail.remove_prefix(lineStart != std::string_view::npos && lineStart + 1 < tail.size()
                               ? lineStart + 1
                               : 1);  // one endless line: keep its end
        if (!result.empty() && result.back() != '\n') result += '\n';
        result += "[... " + std::to_string(rest - tail.size()) + " bytes of " +
                  (head_.empty() ? "earlier output" : "output") + " left out ...]\n";
    }
    result += tail;
    if (result.back() != '\n') result += '\n';
    return result;
}

}  // namespace qorvane
