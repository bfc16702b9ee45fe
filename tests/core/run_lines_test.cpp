#include "encode/run_lines.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/shell_escape.h"
#include "encode/batch_runner.h"

namespace qorvane {
namespace {

// Each case as GNU ls --quoting-style=shell-escape prints the name.
TEST(ShellEscapeIfUnsafe, QuotesOnlyNamesThatCouldBreakALineAsLsDoes) {
    EXPECT_EQ(ShellEscapeIfUnsafe("plain name's café.wav"), "plain name's café.wav");
    EXPECT_EQ(ShellEscapeIfUnsafe("nl\nencoded: x.wav"), "'nl'$'\\n''encoded: x.wav'");
    EXPECT_EQ(ShellEscapeIfUnsafe("\nfoo"), "''$'\\n''foo'");
    EXPECT_EQ(ShellEscapeIfUnsafe("a\rb"), "'a'$'\\r''b'");
    EXPECT_EQ(ShellEscapeIfUnsafe("a\x1b" "b"), "'a'$'\\033''b'");
    EXPECT_EQ(ShellEscapeIfUnsafe("x\x7fy"), "'x'$'\\177''y'");
    EXPECT_EQ(ShellEscapeIfUnsafe("bad\xff\xfe" "end"), "'bad'$'\\377\\376''end'");
    EXPECT_EQ(ShellEscapeIfUnsafe("caf\xc3\xa9\x01"), "'café'$'\\001'");
    EXPECT_EQ(ShellEscapeIfUnsafe("it's \ttab"), "'it'\\''s '$'\\t''tab'");
    // A C1 control and the Unicode line separator break lines too.
    EXPECT_EQ(ShellEscapeIfUnsafe("a\xc2\x85" "b"), "'a'$'\\302\\205''b'");
    EXPECT_EQ(ShellEscapeIfUnsafe("a\xe2\x80\xa8"), "'a'$'\\342\\200\\250'");
}

struct Lines {
    std::vector<std::pair<std::string, bool>> printed;
    RunLines lines{[this](const std::string& line, bool failure) { printed.emplace_back(line, failure); }};
};

BatchRun FinishedRun(const std::string& input, RunOutcome outcome) {
    BatchRun run;
    run.inputPath = input;
    run.outputDirectory = "/out";
    run.outputFileName = "x.wma";
    run.outcome = std::move(outcome);
    return run;
}

TEST(RunLines, ANewlineInANameNeverMakesASecondLine) {
    Lines out;
    out.lines.runFinished(FinishedRun("/in/nl\nencoded: x.wav", {}));
    out.lines.skipped("/in/a\nb.wav", "gone");
    ASSERT_EQ(out.printed.size(), 2u);
    EXPECT_EQ(out.printed[0].first, "encoded: '/in/nl'$'\\n''encoded: x.wav' -> /out/x.wma");
    EXPECT_EQ(out.printed[1].first, "skipped: '/in/a'$'\\n''b.wav': gone");
}

TEST(RunLines, AnEncodedFileWithoutItsTagsCountsAsNotDone) {
    Lines out;
    RunOutcome untagged;
    untagged.tagsNotWritten = "No space left on device";
    out.lines.runFinished(FinishedRun("/in/a.mp3", untagged));
    ASSERT_EQ(out.printed.size(), 1u);
    EXPECT_EQ(out.printed[0].first,
              "encoded: /in/a.mp3 -> /out/x.wma: タグを書き込めませんでした (No space left on device)");
    EXPECT_TRUE(out.printed[0].second);
    EXPECT_EQ(out.lines.failures(), 1);
}

}  // namespace
}  // namespace qorvane
