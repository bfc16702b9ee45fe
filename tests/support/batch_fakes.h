#pragma once
// Stand-ins for what the batch runner reaches outside itself: the job list,
// the progress dialog, the front end, the tag writer, the sound player and a
// per-run observer. Each records what it was asked to do.

#include <deque>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "encode/batch_runner.h"
#include "platform/output_folders.h"

namespace qorvane::testing {

struct FakeJobs : JobQueue {
    std::deque<EncodeJob> rows;
    int count() const override { return static_cast<int>(rows.size()); }
    const EncodeJob& at(int row) const override { return rows[static_cast<std::size_t>(row)]; }
    EncodeJob takeFirst() override {
        EncodeJob job = rows.front();
        rows.pop_front();
        return job;
    }
    void putBackFirst(std::vector<EncodeJob> jobs) override { rows.insert(rows.begin(), jobs.begin(), jobs.end()); }
};

struct FakeProgress : BatchProgressView {
    std::vector<std::pair<std::string, std::string>> labels;
    int hidden = 0;
    std::function<void(const std::string& current)> onLabels;  // optional: sees each call
    void setLabels(const std::string& current, const std::string& remaining) override {
        labels.emplace_back(current, remaining);
        if (onLabels) onLabels(current);
    }
    void hide() override { ++hidden; }
};

struct FakeHost : BatchHost {
    CompletionSettings settings;
    int parallel = 1;
    std::vector<std::string> warnings;
    int shutdowns = 0;
    std::vector<std::vector<RunFailure>> reports;  // one entry per end-of-batch report
    std::function<void()> onShutdown;  // optional: sees the moment of the request
    CompletionSettings completionSettings() const override { return settings; }
    int parallelRuns() const override { return parallel; }
    void reportFailures(const std::vector<RunFailure>& failures) override { reports.push_back(failures); }
    void showWarning(const std::string& text) override { warnings.push_back(text); }
    void requestShutdown() override {
        ++shutdowns;
        if (onShutdown) onShutdown();
    }
};

// Records "SOURCE OUTPUT TITLE" (file names) per call; a source named in
// failingSource throws as when it cannot be opened again; `written` is what
// every other call answers (a failed save with its reason, notes).
struct FakeTags : JobTagWriter {
    std::vector<std::string> calls;
    std::string failingSource;
    TagsWritten written;
    TagsWritten writeTags(const JobTagTexts& tags, const std::filesystem::path& source,
                          const std::filesystem::path& output) override {
        if (source.filename() == failingSource) throw std::runtime_error("cannot open " + source.string());
        calls.push_back(source.filename().string() + " " + output.filename().string() + " " + tags.title);
        return written;
    }
};

struct FakeSounds : SoundPlayer {
    std::vector<std::string> played;
    void play(const std::string& sound) override { played.push_back(sound); }
};

// Output folders as a test describes them; any other folder is unknown to
// the file system, so runs into it are told apart by its path.
struct FakeOutputFolders : OutputFolders {
    std::map<std::filesystem::path, Facts> known;
    std::function<void()> onLook;  // optional: sees each question
    std::optional<Facts> facts(const std::filesystem::path& folder) const override {
        if (onLook) onLook();
        const auto found = known.find(folder);
        return found == known.end() ? std::nullopt : std::optional<Facts>(found->second);
    }
};

struct FakeObserver : RunObserver {
    std::vector<std::string> events;
    std::function<void(const BatchRun&)> onFinished;  // optional: runs after each finished run
    void runSkipped(const BatchRun& run) override { events.push_back("skipped " + run.displayName); }
    void runFinished(const BatchRun& run) override {
        events.push_back("finished " + run.outputFileName);
        if (onFinished) onFinished(run);
    }
};

}  // namespace qorvane::testing
