#include "platform/posix/canberra_sound_player.h"

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include <canberra.h>

namespace qorvane {

void PlayWithFallback(const std::string& sound,
                      const std::function<SoundOutcome(SoundSource, const std::string&)>& attempt) {
    if (!sound.empty()) {
        const auto asEvent = attempt(SoundSource::ThemeEvent, sound);
        if (asEvent != SoundOutcome::NotFound) return;
        std::error_code ec;
        if (std::filesystem::is_regular_file(sound, ec)) {
            if (attempt(SoundSource::File, sound) != SoundOutcome::NotFound) return;
        }
    }
    attempt(SoundSource::ThemeEvent, kDefaultSoundEvent);
}

namespace {

SoundOutcome Outcome(int result) {
    switch (result) {
        case CA_SUCCESS: return SoundOutcome::Played;
        case CA_ERROR_NOTFOUND:
        case CA_ERROR_CORRUPT: return SoundOutcome::NotFound;
        default: return SoundOutcome::Failed;
    }
}

}  // namespace

// Owns the one canberra context, made on the first sound, and plays the
// queued texts in order.
class CanberraSoundPlayer::Worker {
public:
    Worker() = default;
    ~Worker() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void post(const std::string& sound) {
        std::lock_guard lock(mutex_);
        // Sounds that pile up behind a stuck server would only play late.
        if (queue_.size() >= kMaxQueued) return;
        queue_.push_back(sound);
        if (!thread_.joinable()) {
            try {
                thread_ = std::thread([this] { run(); });
            } catch (const std::system_error&) {
                queue_.clear();
                return;
            }
        }
        wake_.notify_one();
    }

private:
    static constexpr std::size_t kMaxQueued = 8;

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) break;
            const std::string sound = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            playNow(sound);
            lock.lock();
        }
        lock.unlock();
        if (context_ != nullptr) ca_context_destroy(context_);
        context_ = nullptr;
    }

    void playNow(const std::string& sound) {
        if (context_ == nullptr) {
            if (ca_context_create(&context_) != CA_SUCCESS) {
                context_ = nullptr;
                return;  // tried again with the next sound
            }
            ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Qorvane",
                                    CA_PROP_APPLICATION_ID, "qorvane", nullptr);
        }
        PlayWithFallback(sound, [this](SoundSource source, const std::string& name) {
            const char* key = source == SoundSource::File ? CA_PROP_MEDIA_FILENAME : CA_PROP_EVENT_ID;
            return Outcome(ca_context_play(context_, 0, key, name.c_str(), nullptr));
        });
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    bool stopping_ = false;
    std::thread thread_;
    ca_context* context_ = nullptr;  // used by the worker thread only
};

CanberraSoundPlayer::CanberraSoundPlayer() : worker_(std::make_unique<Worker>()) {}

CanberraSoundPlayer::~CanberraSoundPlayer() = default;

void CanberraSoundPlayer::play(const std::string& sound) {
    try {
        worker_->post(sound);
    } catch (...) {
        // A sound is never worth failing the caller.
    }
}

}  // namespace qorvane
