#include "app/ui/facts_filler.h"

#include <QMetaObject>
#include <algorithm>

namespace qorvane {

namespace {

// Reading headers waits on the disk as much as on the processor: a few
// threads, not one per processor of a large machine.
unsigned ThreadCount() { return std::clamp(std::thread::hardware_concurrency(), 2u, 4u); }

}  // namespace

FactsFiller::FactsFiller(const MediaFactsReader& reader, Deliver deliver, QObject* parent)
    : QObject(parent), reader_(reader), deliver_(std::move(deliver)) {
    for (unsigned i = 0; i < ThreadCount(); ++i) threads_.emplace_back([this] { work(); });
}

FactsFiller::~FactsFiller() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void FactsFiller::read(std::vector<std::string> paths) {
    if (paths.empty()) return;
    {
        std::lock_guard lock(mutex_);
        for (std::string& path : paths) queue_.push_back(std::move(path));
    }
    wake_.notify_all();
}

void FactsFiller::work() {
    for (;;) {
        std::string path;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            path = std::move(queue_.front());
            queue_.pop_front();
        }
        std::optional<MediaFacts> facts;
        try {
            facts = reader_.read(path);
        } catch (...) {
            // A source that cannot be read has no facts; the row stays.
        }
        std::lock_guard lock(mutex_);
        done_.emplace_back(std::move(path), std::move(facts));
        if (!deliveryPosted_) {
            deliveryPosted_ = true;
            // Dropped with this object should it go first.
            QMetaObject::invokeMethod(this, [this] { deliver(); }, Qt::QueuedConnection);
        }
    }
}

void FactsFiller::deliver() {
    std::vector<Result> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(done_);
        deliveryPosted_ = false;
    }
    if (!batch.empty()) deliver_(std::move(batch));
}

}  // namespace qorvane
