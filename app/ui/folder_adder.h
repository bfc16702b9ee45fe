#pragma once
// Adds what a drop, the command line or the folder picker names without
// holding up the window: MakeInputRows (app/input_rows.h) runs on a thread
// of its own, one request after the other in the order they came, and each
// batch of rows it makes is handed to the window's thread.

#include <QObject>
#include <atomic>
#include <deque>
#include <functional>
#include <thread>

#include "app/input_rows.h"

namespace qorvane {

class FolderAdder : public QObject {
    Q_OBJECT
public:
    struct Handlers {
        std::function<void(std::vector<EncodeJob>)> rows;   // a batch, in order
        // A request has ended (the next one, if any, has already started).
        std::function<void(const InputRowsSummary&)> done;
    };

    // walk and readTags are used on the adder's thread.
    FolderAdder(const DirectoryWalk& walk, TagReader readTags, Handlers handlers, QObject* parent = nullptr);
    // Stops what goes on and waits for its thread.
    ~FolderAdder() override;

    // Starts at once, or after the requests before it.
    void add(InputRowsRequest request);
    // The request going on stops (the rows not yet handed over are dropped)
    // and the waiting ones are forgotten; its `done` still comes.
    void cancel();
    bool busy() const { return worker_.joinable(); }

private:
    void startNext();
    void finished(const InputRowsSummary& summary);

    const DirectoryWalk& walk_;
    TagReader readTags_;
    Handlers handlers_;
    std::deque<InputRowsRequest> waiting_;
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

}  // namespace qorvane
