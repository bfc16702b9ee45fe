#include "app/job_recovery.h"

#include <gtest/gtest.h>

namespace qorvane {
namespace {

EncodeJob Row(const std::string& name) {
    return {name, "Voice", "T\t\"x\"", "A\\B", "夜明け", "2024", "C\nD\r", "/in/" + name, ""};
}

TEST(JobRecovery, EveryFieldOfEveryRowComesBackInOrderWithTheJobsGoingFirst) {
    JobList list;
    list.append(Row("b.wav"));
    list.append(Row("c \xff\xfe.mp3"));  // bytes that are not UTF-8 stay as they are
    const std::string text = RecoveryText({Row("a.avi")}, list);
    const auto back = ParseRecoveryText(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->going, 1u);
    EXPECT_EQ(back->rows, (std::vector<EncodeJob>{Row("a.avi"), Row("b.wav"), Row("c \xff\xfe.mp3")}));
}

// A file cut short anywhere, with a byte changed, or of something else is
// refused whole: nothing is half restored.
TEST(JobRecovery, ADamagedOrForeignFileIsRefusedWhole) {
    JobList list;
    list.append(Row("a.wav"));
    list.append(Row("b.wav"));
    const std::string text = RecoveryText({}, list);
    for (std::size_t length = 0; length < text.size(); ++length) {
        EXPECT_FALSE(ParseRecoveryText(text.substr(0, length))) << length;
    }
    std::string counted = text;
    counted.replace(counted.find("rows 2"), 6, "rows 3");
    EXPECT_FALSE(ParseRecoveryText(counted));
    std::string escaped = text;
    escaped.replace(escaped.find("\\t"), 2, "\\q");
    EXPECT_FALSE(ParseRecoveryText(escaped));
    EXPECT_FALSE(ParseRecoveryText(text + "more\n"));
    EXPECT_FALSE(ParseRecoveryText("[env]\ndir=/out\n"));
    EXPECT_FALSE(ParseRecoveryText("Qorvane job list recovery 1\nrows 99999999999 going 0\nend\n"));
    // A NUL would cut the path short where the file is opened: no row of ours has one.
    JobList cut;
    cut.append(Row(std::string("a\0b.wav", 7)));
    EXPECT_FALSE(ParseRecoveryText(RecoveryText({}, cut)));
}

TEST(JobRecovery, TheKeeperWritesOnlyWhatChangedAndNothingForAnEmptyList) {
    JobList list;
    std::vector<EncodeJob> going;
    std::vector<std::string> saved;
    RecoveryKeeper keeper(
        list, [&] { return going; }, [&](std::string text) { saved.push_back(std::move(text)); }, {}, {}, 0);
    EXPECT_TRUE(keeper.tick());
    EXPECT_EQ(saved, std::vector<std::string>{""});
    list.append(Row("a.wav"));
    list.append(Row("b.wav"));
    EXPECT_TRUE(keeper.tick());
    EXPECT_FALSE(keeper.tick());  // nothing new
    going.push_back(list.takeFirst());  // a batch takes a row
    EXPECT_TRUE(keeper.tick());
    EXPECT_EQ(ParseRecoveryText(saved.back())->going, 1u);
    list.setField(0, JobField::Title, "edited");
    EXPECT_TRUE(keeper.tick());
    EXPECT_EQ(ParseRecoveryText(saved.back())->rows[1].Title, "edited");
    EXPECT_EQ(saved.size(), 4u);
}

// A full or read-only state folder: the text is handed over again until a
// write succeeds; the user is told once, and not at the program's end.
TEST(JobRecovery, TheKeeperTriesAFailedSaveAgainAndTellsOnce) {
    JobList list;
    list.append(Row("a.wav"));
    std::vector<std::string> saved;
    std::uint64_t failed = 0;
    int told = 0;
    RecoveryKeeper keeper(
        list, {}, [&](std::string text) { saved.push_back(std::move(text)); }, [&] { return failed; },
        [&] { ++told; }, 0);
    EXPECT_TRUE(keeper.tick());
    failed = 1;
    EXPECT_TRUE(keeper.tick(true));  // the same list again, at an end: not told
    EXPECT_EQ(told, 0);
    EXPECT_FALSE(keeper.tick());  // no new failure: nothing to hand over
    EXPECT_EQ(told, 1);
    failed = 3;
    EXPECT_TRUE(keeper.tick());
    list.append(Row("b.wav"));
    EXPECT_TRUE(keeper.tick());
    EXPECT_FALSE(keeper.tick());  // written at last
    EXPECT_EQ(told, 1);
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[2], saved[0]);
    EXPECT_EQ(ParseRecoveryText(saved[3])->rows.size(), 2u);
}

}  // namespace
}  // namespace qorvane
