#pragma once
// Hears of a batch as a whole: its start, how far it has come and how it
// ended, for what the desktop shows around it (encode/batch_desktop.h).

#include <filesystem>
#include <optional>

namespace qorvane {

// How a batch that ran to its end came out.
struct BatchSummary {
    int done = 0;    // runs that gave their file, tags and all
    int failed = 0;  // runs the failure report names
    // Where the last run that gave its file wrote it; empty when none did.
    std::filesystem::path lastOutputFolder;
};

class BatchListener {
public:
    virtual ~BatchListener() = default;
    // The convert command began a batch of `jobs` rows.
    virtual void batchBegun(int jobs) = 0;
    // A few times a second while it runs: how much of it is done (0..1, none
    // when the encoders do not tell) and the jobs not yet finished.
    virtual void batchProgress(std::optional<double> done, int jobsLeft) = 0;
    // It ran to its end; told before the end-of-batch sound, the shutdown
    // request and the failure report.
    virtual void batchEnded(const BatchSummary& summary) = 0;
    // It stopped after an abort.
    virtual void batchStopped() = 0;
};

}  // namespace qorvane
