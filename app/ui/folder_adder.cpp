#include "app/ui/folder_adder.h"

#include <algorithm>
#include <memory>

namespace qorvane {

namespace {

// The tasks on a few threads at once, this one among them: a file's tags
// cost mostly system calls, which run side by side on several processors.
void OnSeveralThreads(std::size_t count, const std::function<void(std::size_t)>& task) {
    const std::size_t threads =
        std::min<std::size_t>(count, std::clamp(std::thread::hardware_concurrency(), 2u, 8u));
    std::atomic<std::size_t> next{0};
    const auto work = [&next, &task, count] {
        for (std::size_t i = next++; i < count; i = next++) task(i);
    };
    std::vector<std::thread> helpers;
    for (std::size_t i = 1; i < threads; ++i) helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers) helper.join();
}

}  // namespace

FolderAdder::FolderAdder(const DirectoryWalk& walk, TagReader readTags, Handlers handlers, QObject* parent)
    : QObject(parent), walk_(walk), readTags_(std::move(readTags)), handlers_(std::move(handlers)) {}

FolderAdder::~FolderAdder() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();  // what it still posts is dropped with this object
}

void FolderAdder::add(InputRowsRequest request) {
    waiting_.push_back(std::move(request));
    if (!busy()) startNext();
}

void FolderAdder::cancel() {
    waiting_.clear();
    if (busy()) stop_ = true;
}

void FolderAdder::startNext() {
    if (waiting_.empty()) return;
    stop_ = false;
    worker_ = std::thread([this, request = std::move(waiting_.front())] {
        const InputRowsSummary summary = MakeInputRows(
            walk_, readTags_, request,
            [this](std::vector<EncodeJob> rows) {
                auto batch = std::make_shared<std::vector<EncodeJob>>(std::move(rows));
                QMetaObject::invokeMethod(
                    this,
                    [this, batch] {
                        if (!stop_) handlers_.rows(std::move(*batch));  // cancelled: what was not shown goes
                    },
                    Qt::QueuedConnection);
            },
            [this] { return stop_.load(); }, [] {
                InputRowsPacing pacing;
                pacing.forEach = OnSeveralThreads;
                return pacing;
            }());
        QMetaObject::invokeMethod(this, [this, summary] { finished(summary); }, Qt::QueuedConnection);
    });
    waiting_.pop_front();
}

void FolderAdder::finished(const InputRowsSummary& summary) {
    worker_.join();
    startNext();  // before `done`, which may wait for the user to close a message
    handlers_.done(summary);
}

}  // namespace qorvane
