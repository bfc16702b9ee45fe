#pragma once
// Tells a watch how the runs of the files it took turned out, and which
// files the runs wrote (so that an output landing in a watched folder is
// never taken as new).

#include "app/folder_watch.h"
#include "encode/batch_runner.h"

namespace qorvane {

class WatchRunObserver final : public RunObserver {
public:
    explicit WatchRunObserver(FolderWatch& watch) : watch_(watch) {}

    void runSkipped(const BatchRun& run) override {
        // An abort is not the file's fault: it is taken again next time.
        if (run.outcome.result != RunResult::Aborted) watch_.runOver(run.inputPath, false);
    }
    void runFinished(const BatchRun& run) override {
        watch_.wrote(run.outputPath());
        if (run.outcome.result != RunResult::Aborted) watch_.runOver(run.inputPath, run.outcome.result == RunResult::Good);
    }

private:
    FolderWatch& watch_;
};

}  // namespace qorvane
