#pragma once
// What the batch runner reaches outside itself. The desktop program and the
// headless front end each provide their own; tests provide fakes.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "encode/encode_job.h"
#include "encode/run_outcome.h"
#include "platform/metadata_editor.h"

namespace qorvane {

// The job list as the runner sees it: it takes the first row, and after an
// abort puts the interrupted jobs back on top. Used on the main thread only.
class JobQueue {
public:
    virtual ~JobQueue() = default;
    virtual int count() const = 0;
    virtual const EncodeJob& at(int row) const = 0;
    virtual EncodeJob takeFirst() = 0;
    // Puts rows back at the top, in their order.
    virtual void putBackFirst(std::vector<EncodeJob> rows) = 0;
};

// The progress dialog.
class BatchProgressView {
public:
    virtual ~BatchProgressView() = default;
    virtual void setLabels(const std::string& current, const std::string& remaining) = 0;
    virtual void hide() = 0;
};

// The completion actions in force when a step runs (the user may change them
// while a batch runs).
struct CompletionSettings {
    bool shutdn = false;
    bool bone = false;
    bool ball = false;
    std::string sone;
    std::string sall;
};

// The rest of the front end the runner talks to.
class BatchHost {
public:
    virtual ~BatchHost() = default;
    virtual CompletionSettings completionSettings() const = 0;
    // A warning box with the program's caption (or its headless equivalent).
    virtual void showWarning(const std::string& text) = 0;
    // Asks the front end to shut the computer down once the batch has ended.
    virtual void requestShutdown() = 0;
    // At the end of a batch (or after an abort) in which runs gave no file
    // for a reason the user can act on; called once, with all of them.
    virtual void reportFailures(const std::vector<RunFailure>& failures) = 0;
    // How many encoder runs may go at the same time, as set when a run is
    // about to be taken; 1 runs the batch one run after the other.
    virtual int parallelRuns() const { return 1; }
};

// The tags of the job being encoded, as the row held them.
struct JobTagTexts {
    std::string title;
    std::string artist;
    std::string album;
    std::string copyright;
    std::string year;
};

// What writing a run's tags came to: a save that failed (the output then
// stays as the encoder wrote it), and lines for the batch log.
struct TagsWritten {
    SaveResult saved;
    std::vector<std::string> notes;
};

// Writes a finished run's tags: the job's own, then what the source's own
// tags and its cover add. May throw when the source cannot be read; the
// job's tags are then in the output, and the runner goes on without telling
// the user.
class JobTagWriter {
public:
    virtual ~JobTagWriter() = default;
    virtual TagsWritten writeTags(const JobTagTexts& tags, const std::filesystem::path& source,
                                  const std::filesystem::path& output) = 0;
};

// Runs a step on the thread that owns the job list and the windows, and
// waits for it to finish.
class MainThreadInvoker {
public:
    virtual ~MainThreadInvoker() = default;
    virtual void invoke(const std::function<void()>& step) = 0;
};

// Hears about each run once it is over; what a front end reports per run.
// Called on the main thread; run.outcome tells how the run turned out.
struct BatchRun;
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // A job or run that made no encoder run (missing input, unsupported
    // extension, no output folder, the encoder could not be started, an
    // abort before it started).
    virtual void runSkipped(const BatchRun& run) = 0;
    // After the run's finish step.
    virtual void runFinished(const BatchRun& run) = 0;
};

// For a front end without windows: the steps run on the calling thread
// (the encode thread), one at a time.
class DirectInvoker final : public MainThreadInvoker {
public:
    void invoke(const std::function<void()>& step) override { step(); }
};

}  // namespace qorvane
