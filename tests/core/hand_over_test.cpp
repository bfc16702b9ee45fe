// A later start's files for the running copy: what is sent, how a message
// is read back however its bytes come, what is refused, and when the sender
// stops trying.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/hand_over.h"

namespace qorvane {
namespace {

namespace fs = std::filesystem;
using State = HandOverReader::State;

TEST(HandedOverFiles, AbsolutePathsWithoutTheDebugSwitch) {
    const fs::path cwd = fs::current_path();
    EXPECT_EQ(HandedOverFiles({"-debug", "a.wav", "", "/x/b.mp3"}),
              (std::vector<std::string>{(cwd / "a.wav").string(), "/x/b.mp3"}));
    // Only the exact first argument is the switch.
    EXPECT_EQ(HandedOverFiles({"a.wav", "-debug"}),
              (std::vector<std::string>{(cwd / "a.wav").string(), (cwd / "-debug").string()}));
    EXPECT_TRUE(HandedOverFiles({"-debug"}).empty());
}

TEST(HandOverReader, ReadsAMessageWholeOrByteByByte) {
    const std::vector<std::string> files = {"/a/two words.wav", "/b/line\nbreak.mp3", "/c/日本語.avi"};
    const std::string message = HandOverMessage(files);

    HandOverReader whole;
    EXPECT_EQ(whole.feed(message), State::Complete);
    EXPECT_EQ(whole.files(), files);

    HandOverReader bytewise;
    for (std::size_t i = 0; i + 1 < message.size(); ++i) {
        ASSERT_EQ(bytewise.feed(message.substr(i, 1)), State::Incomplete) << i;
    }
    EXPECT_EQ(bytewise.feed(message.substr(message.size() - 1)), State::Complete);
    EXPECT_EQ(bytewise.files(), files);

    // No files: only "come to the front".
    HandOverReader empty;
    EXPECT_EQ(empty.feed(HandOverMessage({})), State::Complete);
    EXPECT_TRUE(empty.files().empty());
}

TEST(HandOverReader, RefusesWhatIsNotAMessageOfThisProgram) {
    const auto read = [](const std::string& bytes) {
        HandOverReader reader;
        return reader.feed(bytes);
    };
    const auto header = [](std::uint32_t size) {
        std::string h = "QRV1";
        for (int shift = 24; shift >= 0; shift -= 8) h += static_cast<char>((size >> shift) & 0xFF);
        return h;
    };
    EXPECT_EQ(read("GET / HTTP/1.0\r\n"), State::Refused);
    EXPECT_EQ(read("Q"), State::Incomplete);
    EXPECT_EQ(read("QX"), State::Refused);  // turned away before a whole header came
    EXPECT_EQ(read(header(kHandOverMaxBody + 1)), State::Refused);  // before any body
    EXPECT_EQ(read(header(0xFFFFFFFF)), State::Refused);
    EXPECT_EQ(read(header(5) + "/a.wa"), State::Refused);         // no NUL at the end
    EXPECT_EQ(read(header(4) + "a.w" + '\0'), State::Refused);    // relative
    EXPECT_EQ(read(header(4) + "/a" + '\0' + '\0'), State::Refused);  // an empty path
    EXPECT_EQ(read(HandOverMessage({"/a.wav"}) + "x"), State::Refused);

    HandOverReader reader;
    ASSERT_EQ(reader.feed(HandOverMessage({"/a.wav"})), State::Complete);
    EXPECT_EQ(reader.feed("more"), State::Refused);
    EXPECT_TRUE(reader.files().empty());
}

TEST(HandOverToRunningCopy, TriesAgainOnlyWhileTheCopyIsStartingAndRuns) {
    struct Run {
        std::vector<HandOverResult> answers;  // one per attempt, the last repeated
        int runsFor;                          // how many checks say the copy still runs
        HandOverResult expected;
        int attempts;                         // made
    };
    using R = HandOverResult;
    const std::vector<Run> runs = {
        {{R::NotListening, R::NotListening, R::Taken}, 99, R::Taken, 3},
        {{R::NoAnswer}, 99, R::NoAnswer, 1},  // never sent twice
        {{R::NotListening}, 1, R::OtherCopyEnded, 2},
        {{R::NotListening}, 99, R::NotListening, 5},
    };
    for (const Run& run : runs) {
        int made = 0;
        int checks = 0;
        int pauses = 0;
        const HandOverResult result = HandOverToRunningCopy(
            [&] { return run.answers[std::min<std::size_t>(made++, run.answers.size() - 1)]; },
            [&] { return checks++ < run.runsFor; }, [&] { ++pauses; }, 5);
        EXPECT_EQ(result, run.expected) << made;
        EXPECT_EQ(made, run.attempts);
        EXPECT_EQ(pauses, made - 1);
    }
}

}  // namespace
}  // namespace qorvane
