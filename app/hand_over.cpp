#include "app/hand_over.h"

#include <algorithm>

#include "app/encoder_location.h"
#include "app/startup.h"

namespace qorvane {

namespace {

constexpr std::string_view kMagic = "QRV1";
constexpr std::size_t kHeaderSize = kMagic.size() + 4;

}  // namespace

std::filesystem::path HandOverSocketPath(const std::filesystem::path& runtimeDir) {
    return runtimeDir.empty() ? std::filesystem::path() : runtimeDir / kHandOverSocketName;
}

std::vector<std::string> HandedOverFiles(const std::vector<std::string>& arguments) {
    if (!IsDebugMode(arguments)) return CommandLineFiles(arguments);
    return CommandLineFiles(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
}

std::string HandOverMessage(const std::vector<std::string>& files) {
    std::string body;
    for (const auto& file : files) {
        body += file;
        body += '\0';
    }
    std::string message(kMagic);
    for (int shift = 24; shift >= 0; shift -= 8) message += static_cast<char>((body.size() >> shift) & 0xFF);
    return message + body;
}

HandOverReader::State HandOverReader::refuse() {
    buffer_.clear();
    files_.clear();
    return state_ = State::Refused;
}

HandOverReader::State HandOverReader::feed(std::string_view bytes) {
    if (state_ == State::Refused) return state_;
    if (state_ == State::Complete) return bytes.empty() ? state_ : refuse();
    buffer_.append(bytes);
    if (!headerRead_) {
        // A stranger is turned away by its first bytes, not after a whole header.
        const std::size_t known = std::min(buffer_.size(), kMagic.size());
        if (buffer_.compare(0, known, kMagic.substr(0, known)) != 0) return refuse();
        if (buffer_.size() < kHeaderSize) return state_;
        bodySize_ = 0;
        for (std::size_t i = kMagic.size(); i < kHeaderSize; ++i) {
            bodySize_ = (bodySize_ << 8) | static_cast<unsigned char>(buffer_[i]);
        }
        if (bodySize_ > kHandOverMaxBody) return refuse();
        buffer_.erase(0, kHeaderSize);
        headerRead_ = true;
    }
    if (buffer_.size() > bodySize_) return refuse();
    if (buffer_.size() < bodySize_) return state_;
    if (!buffer_.empty() && buffer_.back() != '\0') return refuse();
    for (std::size_t start = 0; start < buffer_.size();) {
        const std::size_t end = buffer_.find('\0', start);
        const std::string_view path = std::string_view(buffer_).substr(start, end - start);
        if (path.empty() || path.front() != '/') return refuse();
        files_.emplace_back(path);
        start = end + 1;
    }
    buffer_.clear();
    return state_ = State::Complete;
}

HandOverResult HandOverToRunningCopy(const std::function<HandOverResult()>& attempt,
                                     const std::function<bool()>& otherCopyRuns,
                                     const std::function<void()>& pause, int attempts) {
    for (int tried = 1;; ++tried) {
        const HandOverResult result = attempt();
        if (result != HandOverResult::NotListening) return result;
        if (!otherCopyRuns()) return HandOverResult::OtherCopyEnded;
        if (tried >= attempts) return result;
        pause();
    }
}

}  // namespace qorvane
