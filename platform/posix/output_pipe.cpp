#include "platform/posix/output_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace qorvane {

OutputPipe::OutputPipe(int readFd, std::optional<KeptOutput> kept, LineListener listener)
    : fd_(readFd), kept_(std::move(kept)), listener_(std::move(listener)) {
    if (fd_ >= 0) ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

OutputPipe::~OutputPipe() {
    if (fd_ >= 0) ::close(fd_);
}

int OutputPipe::fd() const {
    std::lock_guard lock(mutex_);
    return fd_;
}

void OutputPipe::drain() { drainAtMost(64 * 1024); }

void OutputPipe::drainAtMost(std::size_t budget) {
    std::lock_guard lock(mutex_);
    char buffer[16384];
    for (std::size_t taken = 0; fd_ >= 0 && taken < budget;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got > 0) {
            const auto bytes = static_cast<std::size_t>(got);
            if (kept_) kept_->add(std::string_view(buffer, bytes));
            takeLines(std::string_view(buffer, bytes));
            taken += bytes;
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        // End of input (everyone who could write has gone), or an error.
        ::close(fd_);
        fd_ = -1;
    }
}

void OutputPipe::close() {
    drainAtMost(1024 * 1024);  // what is there now; a writer left behind loses the rest
    std::lock_guard lock(mutex_);
    if (!partial_.empty()) emit(partial_);
    partial_.clear();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void OutputPipe::dropListener() {
    std::lock_guard lock(mutex_);
    listener_ = nullptr;
}

std::string OutputPipe::keptText() const {
    std::lock_guard lock(mutex_);
    return kept_ ? kept_->text() : std::string();
}

void OutputPipe::takeLines(std::string_view bytes) {
    for (const char c : bytes) {
        if (c == '\n' || c == '\r') {  // ffmpeg's status line ends in a carriage return
            if (!partial_.empty()) emit(partial_);
            partial_.clear();
            continue;
        }
        partial_ += c;
        if (partial_.size() == kMaxLine) {
            emit(partial_);
            partial_.clear();
        }
    }
}

void OutputPipe::emit(std::string_view line) {
    if (listener_) listener_(line);
}

}  // namespace qorvane
