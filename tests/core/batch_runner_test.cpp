#include "encode/batch_runner.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/batch_fixture.h"

namespace qorvane::testing {
namespace {

TEST_F(Batch, ConvertDoesNothingWithAnEmptyListOrWhileRunning) {
    EXPECT_FALSE(runner().beginBatch());
    jobs.rows.push_back(job("a.mp3"));
    runner().state().running = true;
    EXPECT_FALSE(runner().beginBatch());
    runner().state().running = false;
    runner().state().abortRequested = true;
    EXPECT_TRUE(runner().beginBatch());
    EXPECT_FALSE(runner().state().abortRequested);
}

TEST_F(Batch, MultiBitRateVideoJobRunsOncePerRateAndAudioJobOnce) {
    dir.write("Profile/p.wpf", "[video]\nbitrate=300,500\n");
    jobs.rows = {job("clip.avi"), job("song.mp3")};
    host.settings = {false, true, true, "job.wav", "done.wav"};
    runBatch();

    ASSERT_EQ(launcher.started.size(), 3u);
    EXPECT_EQ(launcher.started[0].arguments[5], "clip_v300.wmv");
    EXPECT_EQ(launcher.started[1].arguments[5], "clip_v500.wmv");
    EXPECT_EQ(launcher.started[2].arguments[5], "song.wma");
    EXPECT_EQ(launcher.started[0].program, "/enc/qorvane-cscript");
    EXPECT_TRUE(launcher.started[0].environment.empty());  // one at a time: ffmpeg's own threads
    EXPECT_EQ(launcher.started[0].workingDirectory, dir / "in");
    ASSERT_GE(progress.labels.size(), 3u);
    EXPECT_EQ(progress.labels[0], (std::pair<std::string, std::string>{"[300kbps] clip.avi", "(2) "}));
    EXPECT_EQ(progress.labels[1], (std::pair<std::string, std::string>{"[500kbps] clip.avi", "(2) "}));
    EXPECT_EQ(progress.labels[2], (std::pair<std::string, std::string>{"song.mp3", "(1) "}));
    EXPECT_EQ(tags.calls, (std::vector<std::string>{"clip.avi clip_v300.wmv T-clip.avi",
                                                    "clip.avi clip_v500.wmv T-clip.avi", "song.mp3 song.wma T-song.mp3"}));
    EXPECT_EQ(sounds.played, (std::vector<std::string>{"job.wav", "job.wav", "job.wav", "done.wav"}));
    EXPECT_EQ(host.shutdowns, 0);
    EXPECT_FALSE(runner().state().running);
    EXPECT_GE(progress.hidden, 1);
}

TEST_F(Batch, EachRunKnowsItsPlaceInTheBatchAsTheListGrows) {
    dir.write("Profile/p.wpf", "[video]\nbitrate=300,500\n");
    jobs.rows = {job("clip.avi"), job("song.mp3")};
    std::vector<RunPosition> positions;
    observer.onFinished = [&](const BatchRun& run) {
        positions.push_back(run.position);
        // A row added while the batch runs joins it, and the count with it.
        if (positions.size() == 1) jobs.rows.push_back(job("late.avi"));
    };
    runBatch();
    EXPECT_EQ(positions, (std::vector<RunPosition>{{1, 3}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));
}

TEST_F(Batch, MissingInputIsSkippedSilentlyAndShutdownFollowsTheLastJob) {
    jobs.rows = {job("gone.mp3"), job("song.wav")};
    std::filesystem::remove(jobs.rows[0].Path);
    host.settings.shutdn = true;
    runBatch();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].arguments[5], "song.wma");
    EXPECT_TRUE(jobs.rows.empty());
    EXPECT_TRUE(host.warnings.empty());
    EXPECT_EQ(host.shutdowns, 1);
    EXPECT_TRUE(sounds.played.empty());  // sounds are off
    EXPECT_EQ(observer.events, (std::vector<std::string>{"skipped gone.mp3", "finished song.wma"}));
}

TEST_F(Batch, ProfileIsLoadedOncePerBatchAndAfreshInTheNext) {
    const auto wpf = dir.write("Profile/p.wpf", "[audio]\nmode=1\nbitrate=17\n");
    jobs.rows = {job("a.mp3")};
    // The profile changes on disk while the first run encodes.
    launcher.onStart = [&] { dir.write("Profile/p.wpf", "[audio]\nmode=1\nbitrate=21\n"); };
    jobs.rows.push_back(job("b.mp3"));
    runBatch();
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_NE(launcher.started[1].logHeader.find("128_44_2"), std::string::npos);
    jobs.rows = {job("c.mp3")};
    runBatch();
    EXPECT_NE(launcher.started[2].logHeader.find("320_44_2"), std::string::npos);
}

TEST_F(Batch, OutputFolderIsCreatedOrTheJobSkippedWithTheMessage) {
    const auto blocker = dir.write("file-not-folder", "x");
    jobs.rows = {job("a.mp3", "p", (dir / "new/deep").string()), job("b.mp3", "p", (blocker / "sub").string()),
                 job("c.mp3")};
    runBatch();
    EXPECT_TRUE(std::filesystem::is_directory(dir / "new/deep"));
    EXPECT_EQ(host.warnings, std::vector<std::string>{"フォルダを作成できません"});
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(launcher.started[0].workingDirectory, dir / "new/deep");
    EXPECT_EQ(launcher.started[1].arguments[5], "c.wma");
}

TEST_F(Batch, AbortEndsTheEncoderKeepsTheRestAndSkipsTheEndOfBatch) {
    jobs.rows = {job("a.mp3"), job("b.mp3"), job("c.mp3")};
    const std::deque<EncodeJob> rows = jobs.rows;
    host.settings = {true, true, true, "job.wav", "done.wav"};
    launcher.steps = -1;  // never ends by itself
    launcher.onStart = [&] { runner().requestAbort(); };
    runBatch();
    EXPECT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.terminated, 1);
    // The interrupted job is back on top as it was, tags and all.
    EXPECT_EQ(jobs.rows, rows);
    EXPECT_TRUE(tags.calls.empty());  // an aborted run has no file of its own to tag
    EXPECT_EQ(sounds.played, std::vector<std::string>{"job.wav"});
    EXPECT_EQ(host.shutdowns, 0);
    EXPECT_TRUE(host.reports.empty());  // an abort is not a failure to report
}

// Pressed while no encoder runs, or while a short run is ending by itself:
// the flag is seen before anything else starts, however short the runs.
TEST_F(Batch, AbortBetweenRunsOrAsARunEndsStartsNothingFurther) {
    for (const bool betweenRuns : {true, false}) {
        SCOPED_TRACE(betweenRuns ? "between runs" : "as the run ends");
        jobs.rows = {job("a.wav"), job("b.wav"), job("c.wav")};
        host = {};
        host.settings = {true, false, true, "", "done.wav"};
        sounds.played.clear();
        launcher.started.clear();
        launcher.steps = 0;  // every run ends at its first look
        launcher.onExit = betweenRuns ? std::function<void()>() : [&] { runner().requestAbort(); };
        observer.onFinished = betweenRuns ? [&](const BatchRun&) { runner().requestAbort(); }
                                          : std::function<void(const BatchRun&)>();
        runBatch();
        EXPECT_EQ(launcher.started.size(), 1u);
        EXPECT_EQ(jobs.rows.size(), 2u);
        EXPECT_FALSE(runner().state().running);
        EXPECT_EQ(host.shutdowns, 0);
        EXPECT_TRUE(sounds.played.empty());
    }
}

TEST_F(Batch, ARunThatHadFinishedWhenTheAbortCameKeepsItsTags) {
    jobs.rows = {job("a.wav"), job("b.wav")};
    launcher.steps = 0;  // done by the time anyone looks
    launcher.onStart = [&] { runner().requestAbort(); };
    runBatch();
    EXPECT_EQ(launcher.terminated, 1);
    EXPECT_EQ(tags.calls, std::vector<std::string>{"a.wav a.wma T-a.wav"});
    EXPECT_EQ(jobs.rows.size(), 1u);
}

TEST_F(Batch, OnlyAGoodRunIsTaggedAndTheFailuresAreReportedOnceAtTheEnd) {
    // An earlier file of the same name must keep its tags when the new run fails.
    const auto earlier = dir.write("in/old.wma", "earlier");
    jobs.rows = {job("old.wav"), job("gone.wav"), job("quiet.wav"), job("good.wav")};
    std::filesystem::remove(jobs.rows[1].Path);
    launcher.onStart = [&] {
        const std::string name = launcher.started.back().arguments[5];
        launcher.exitCode = name == "old.wma" ? 3 : 0;
        launcher.writesOutput = name != "quiet.wma";
    };
    runBatch();
    EXPECT_EQ(tags.calls, std::vector<std::string>{"good.wav good.wma T-good.wav"});
    EXPECT_EQ(testing::ReadFileBytes(earlier), "earlier");
    ASSERT_EQ(host.reports.size(), 1u);
    const auto& failures = host.reports[0];
    ASSERT_EQ(failures.size(), 3u);
    EXPECT_EQ(failures[0].file, "old.wav");
    EXPECT_EQ(failures[0].outcome, (RunOutcome{RunResult::EncoderFailed, {ProcessEnd::Kind::Exited, 3}}));
    EXPECT_EQ(failures[1].file, "gone.wav");
    EXPECT_EQ(failures[1].outcome.result, RunResult::InputMissing);
    EXPECT_EQ(failures[2].outcome.result, RunResult::NoOutput);
    EXPECT_EQ(observer.events, (std::vector<std::string>{"finished old.wma", "skipped gone.wav",
                                                         "finished quiet.wma", "finished good.wma"}));

    jobs.rows = {job("good.wav")};
    runBatch();
    EXPECT_EQ(host.reports.size(), 1u);  // a batch without failures says nothing more
}

// A Windows Media source keeps its name in its own folder, and a link in
// the output folder is the source too: no such run starts.
TEST_F(Batch, AnOutputThatIsTheSourceItselfIsSkippedAndTheSourceKept) {
    namespace fs = std::filesystem;
    for (const char* folder : {"out/hard", "out/soft", "out/free"}) fs::create_directories(dir / folder);
    jobs.rows = {job("same.wma"), job("hard.wmv", "p", (dir / "out/hard").string()),
                 job("soft.asf", "p", (dir / "out/soft").string()), job("free.wma", "p", (dir / "out/free").string())};
    fs::create_hard_link(jobs.rows[1].Path, dir / "out/hard/hard.wmv");
    fs::create_symlink(jobs.rows[2].Path, dir / "out/soft/soft.wmv");
    runBatch();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].arguments[5], "free.wma");
    for (const char* source : {"in/same.wma", "in/hard.wmv", "in/soft.asf"}) {
        EXPECT_EQ(testing::ReadFileBytes(dir / source), "x") << source;
    }
    ASSERT_EQ(host.reports.size(), 1u);
    ASSERT_EQ(host.reports[0].size(), 3u);
    for (const RunFailure& failure : host.reports[0]) {
        EXPECT_EQ(failure.outcome.result, RunResult::OutputIsInput) << failure.file;
        EXPECT_EQ(FailureReason(failure.outcome), "入力ファイルと同じ名前には出力できません");
    }
    EXPECT_EQ(host.reports[0][1].output, "hard.wmv");
}

TEST(FailureReport, ListsAScreenfulThenACountAndNamesTheLog) {
    std::vector<RunFailure> failures(23, {"a.wav", "a.wma", {RunResult::EncoderFailed, {ProcessEnd::Kind::Exited, 1}}});
    failures[1] = {"clip.avi", "", {RunResult::QuoteInPath, {}}};
    const std::string text = FormatFailureReport(failures, "/log/encoder.log");
    EXPECT_EQ(text.rfind("変換できなかったファイルがあります (23 件)\n\na.wav → a.wma: エンコーダがエラーで終了しました (終了コード 1)\n"
                         "clip.avi: 名前に \" を含むファイルは変換できません\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("\nほか 3 件\n\n詳しくはログをご覧ください:\n/log/encoder.log"), std::string::npos) << text;
}

TEST_F(Batch, FailingTagSourceDoesNotStopTheBatch) {
    jobs.rows = {job("a.mp3"), job("b.wav")};
    tags.failingSource = "a.mp3";
    runBatch();
    EXPECT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(tags.calls, std::vector<std::string>{"b.wav b.wma T-b.wav"});
    EXPECT_TRUE(host.reports.empty());
    EXPECT_FALSE(runner().state().running);
}

TEST_F(Batch, WhatTheTagWriterLeftOutIsNotedInTheBatchLog) {
    jobs.rows = {job("a.wav")};
    tags.written.notes = {"cover too large"};
    runBatch();
    EXPECT_EQ(launcher.logged, std::vector<std::string>{"log.txt: -- note: cover too large"});
    EXPECT_TRUE(host.reports.empty());
}

TEST_F(Batch, TagsThatCouldNotBeSavedAreReportedWithTheEncodedFile) {
    jobs.rows = {job("a.wav")};
    tags.written.saved = {false, "No space left on device"};
    runBatch();
    ASSERT_EQ(host.reports.size(), 1u);
    ASSERT_EQ(host.reports[0].size(), 1u);
    const RunOutcome& outcome = host.reports[0][0].outcome;
    EXPECT_EQ(outcome.result, RunResult::Good);
    EXPECT_EQ(FailureReason(outcome), "タグを書き込めませんでした (No space left on device)");
}

TEST_F(Batch, MissingScriptHostSkipsEveryRun) {
    encoder.cscriptPath.clear();
    jobs.rows = {job("a.mp3")};
    runBatch();
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_TRUE(tags.calls.empty());
}

// Several runs at once: each run still goes prepare, folder, start, finish
// in that order on the one stepping thread; the count keeps meaning the jobs
// not yet finished; the end of the batch comes once, after the last run.
TEST_F(Batch, SeveralRunsGoAtOnceAndTheBatchEndsOnceAfterTheLast) {
    for (const int parallel : {2, 3}) {
        SCOPED_TRACE(parallel);
        jobs.rows.clear();
        for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav", "f.wav"}) jobs.rows.push_back(job(name));
        host = {};
        host.parallel = parallel;
        host.settings = {true, true, true, "job.wav", "done.wav"};
        launcher.started.clear();
        launcher.mostAlive = 0;
        launcher.steps = 2;
        // The first runs all go before any of them ends.
        launcher.hold = true;
        launcher.onStart = [&] { launcher.hold = launcher.started.size() < static_cast<std::size_t>(parallel); };
        tags.calls.clear();
        sounds.played.clear();
        progress.labels.clear();
        observer.events.clear();
        bool quietAtTheEnd = false;
        host.onShutdown = [&] { quietAtTheEnd = launcher.alive == 0 && tags.calls.size() == 6; };
        // Each run's steps in order: prepared (its labels), started, finished.
        std::vector<std::string> steps;
        progress.onLabels = [&](const std::string& label) { steps.push_back("prepare " + label.substr(0, 1)); };
        const auto start = launcher.onStart;
        launcher.onStart = [&, start] {
            steps.push_back("start " + launcher.started.back().arguments[5].substr(0, 1));
            start();
        };
        observer.onFinished = [&](const BatchRun& run) { steps.push_back("finish " + run.displayName.substr(0, 1)); };
        invoker.threads.clear();
        runBatch();
        EXPECT_EQ(invoker.threads.size(), 1u);  // one thread hands every step over, one at a time
        EXPECT_EQ(invoker.overlaps, 0);
        for (const std::string name : {"a", "b", "c", "d", "e", "f"}) {
            const auto at = [&](const std::string& step) {
                return std::find(steps.begin(), steps.end(), step + " " + name) - steps.begin();
            };
            EXPECT_LT(at("prepare"), at("start")) << name;
            EXPECT_LT(at("start"), at("finish")) << name;
            EXPECT_LT(at("finish"), static_cast<long>(steps.size())) << name;
        }

        EXPECT_EQ(launcher.started.size(), 6u);
        EXPECT_EQ(launcher.started[0].environment, std::vector<std::string>{"QORVANE_FFMPEG_THREADS=1"});
        EXPECT_EQ(launcher.mostAlive, parallel);
        EXPECT_EQ(tags.calls.size(), 6u);
        EXPECT_EQ(observer.events.size(), 6u);
        EXPECT_EQ(host.shutdowns, 1);
        EXPECT_TRUE(quietAtTheEnd);
        std::vector<std::string> expectedSounds(6, "job.wav");
        expectedSounds.push_back("done.wav");
        EXPECT_EQ(sounds.played, expectedSounds);
        // Runs are taken in list order; the count only falls, from every job to the last one.
        for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(launcher.started[i].arguments[5][0], 'a' + static_cast<char>(i));
        ASSERT_FALSE(progress.labels.empty());
        EXPECT_EQ(progress.labels.front().second, "(6) ");
        EXPECT_EQ(progress.labels[static_cast<std::size_t>(parallel) - 1].second, "(6) ");
        EXPECT_EQ(progress.labels.back().second, "(1) ");
        for (std::size_t i = 1; i < progress.labels.size(); ++i) {
            EXPECT_LE(std::stoi(progress.labels[i].second.substr(1)), std::stoi(progress.labels[i - 1].second.substr(1)));
        }
    }
}

TEST_F(Batch, ARunIntoAFileThatARunningRunWritesWaitsForIt) {
    const std::string out = (dir / "out").string();
    jobs.rows = {job("a.avi", "p", out), job("a.mpg", "p", out), job("b.wav", "p", out)};
    host.parallel = 3;
    launcher.steps = 10;
    std::vector<int> aliveAtStart;
    launcher.onStart = [&] { aliveAtStart.push_back(launcher.alive); };
    runBatch();
    ASSERT_EQ(launcher.started.size(), 3u);
    EXPECT_EQ(launcher.started[0].arguments[5], launcher.started[1].arguments[5]);
    EXPECT_EQ(aliveAtStart[1], 0);  // the second a.wmv began once the first was done
    EXPECT_EQ(tags.calls.size(), 3u);
}

// One file under two names: another path to the same folder (a bind
// mount), or another letter case where the folder ignores it.
TEST_F(Batch, ARunIntoTheSameFileUnderAnotherNameWaitsToo) {
    const std::string out = (dir / "out").string();
    const std::string stick = (dir / "stick").string();
    folders.known[dir / "out"] = {1, 10, false};
    folders.known[dir / "alias"] = {1, 10, false};
    folders.known[dir / "stick"] = {2, 20, true};
    const std::vector<std::vector<EncodeJob>> cases = {
        {job("long.wav", "p", out), job("long.mp3", "p", (dir / "alias").string())},
        {job("Song.wav", "p", stick), job("song.mp3", "p", stick)}};
    for (const auto& rows : cases) {
        SCOPED_TRACE(rows[1].File);
        jobs.rows = {rows[0], rows[1]};
        host.parallel = 2;
        launcher.started.clear();
        tags.calls.clear();
        // The first run goes on until the second has started beside it or
        // has been looked at and held back.
        launcher.hold = true;
        std::vector<int> aliveAtStart;
        launcher.onStart = [&] {
            aliveAtStart.push_back(launcher.alive);
            if (launcher.started.size() == 2) launcher.hold = false;
        };
        folders.onLook = [&] {
            if (launcher.started.size() == 1) launcher.hold = false;
        };
        runBatch();
        ASSERT_EQ(launcher.started.size(), 2u);
        EXPECT_EQ(aliveAtStart[1], 0);
        EXPECT_EQ(tags.calls.size(), 2u);
    }
}

TEST_F(Batch, AbortEndsEveryRunGoingAndStartsNothingMore) {
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"}) jobs.rows.push_back(job(name));
    host.parallel = 3;
    host.settings = {true, true, true, "job.wav", "done.wav"};
    launcher.steps = -1;
    launcher.onStart = [&] {
        if (launcher.started.size() == 3) runner().requestAbort();
    };
    const std::deque<EncodeJob> rows = jobs.rows;
    runBatch();
    EXPECT_EQ(launcher.started.size(), 3u);
    EXPECT_EQ(launcher.terminated, 3);
    EXPECT_EQ(launcher.alive, 0);
    EXPECT_EQ(jobs.rows, rows);  // the three interrupted on top, in their order
    EXPECT_TRUE(tags.calls.empty());
    EXPECT_EQ(sounds.played, std::vector<std::string>(3, "job.wav"));
    EXPECT_EQ(host.shutdowns, 0);
    EXPECT_FALSE(runner().state().running);
}

// An aborted job is no longer going, also the bit rates it had not begun; it
// is back in the list, whole, for the next convert.
TEST_F(Batch, AnAbortedJobIsNoLongerGoingWhateverRunsItHadLeft) {
    dir.write("Profile/p.wpf", "[video]\nbitrate=300,500,700\n");
    for (const int parallel : {1, 2}) {
        SCOPED_TRACE(parallel);
        jobs.rows = {job("clip.avi"), job("b.wav")};
        host.parallel = parallel;
        launcher.started.clear();
        launcher.steps = -1;
        launcher.onStart = [&] { runner().requestAbort(); };
        runBatch();
        EXPECT_EQ(launcher.started.size(), 1u);
        EXPECT_EQ(runner().jobsGoing(), 0);
        EXPECT_TRUE(runner().jobsGoingRows().empty());
        ASSERT_EQ(jobs.rows.size(), 2u);
        EXPECT_EQ(jobs.rows[0].File, "clip.avi");
    }
}

TEST_F(Batch, AFailingRunLeavesTheRunsBesideItAlone) {
    jobs.rows = {job("a.wav"), job("bad.wav"), job("c.wav"), job("d.wav")};
    host.parallel = 2;
    launcher.steps = 5;
    launcher.onStart = [&] { launcher.exitCode = launcher.started.back().arguments[5] == "bad.wma" ? 3 : 0; };
    runBatch();
    std::vector<std::string> tagged = tags.calls;
    std::sort(tagged.begin(), tagged.end());
    EXPECT_EQ(tagged, (std::vector<std::string>{"a.wav a.wma T-a.wav", "c.wav c.wma T-c.wav", "d.wav d.wma T-d.wav"}));
    ASSERT_EQ(host.reports.size(), 1u);
    ASSERT_EQ(host.reports[0].size(), 1u);
    EXPECT_EQ(host.reports[0][0].file, "bad.wav");
}

}  // namespace
}  // namespace qorvane::testing
