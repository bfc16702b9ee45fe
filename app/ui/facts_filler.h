#pragma once
// Reads the facts of sources on threads of their own, so that adding ten
// thousand files never holds up the window: paths go in, and what was read
// comes back on the window's thread in batches, as it arrives.

#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "encode/media_facts.h"

namespace qorvane {

class FactsFiller final : public QObject {
    Q_OBJECT
public:
    using Result = std::pair<std::string, std::optional<MediaFacts>>;
    using Deliver = std::function<void(std::vector<Result>)>;

    // `reader` is used from several threads at once and must outlive this.
    FactsFiller(const MediaFactsReader& reader, Deliver deliver, QObject* parent = nullptr);
    // Stops the threads; what was not read yet is dropped.
    ~FactsFiller() override;

    void read(std::vector<std::string> paths);

private:
    void work();
    void deliver();

    const MediaFactsReader& reader_;
    Deliver deliver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    std::vector<Result> done_;
    bool deliveryPosted_ = false;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace qorvane
