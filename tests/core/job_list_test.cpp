// The job list and the rules of adding and editing its rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/add_job.h"
#include "app/job_edits.h"
#include "app/job_list.h"
#include "core/id3_test_bytes.h"
#include "platform/file_open_error.h"
#include "platform/posix/cp932_code_page.h"
#include "platform/posix/media_tag_reader.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::TempDir;

class RecordingObserver final : public JobListObserver {
public:
    std::vector<std::string> calls;
    void rowsAboutToBeInserted(std::size_t first, std::size_t last) override {
        calls.push_back("insert " + std::to_string(first) + "-" + std::to_string(last));
    }
    void rowsInserted() override { calls.push_back("inserted"); }
    void rowsAboutToBeRemoved(std::size_t first, std::size_t last) override {
        calls.push_back("remove " + std::to_string(first) + "-" + std::to_string(last));
    }
    void rowsRemoved() override { calls.push_back("removed"); }
    void rowChanged(std::size_t row, JobField field) override {
        calls.push_back("change " + std::to_string(row) + ":" + std::to_string(static_cast<int>(field)));
    }
};

JobList ListOf(std::initializer_list<const char*> files) {
    JobList list;
    for (const char* file : files) {
        EncodeJob job;
        job.File = file;
        job.Path = std::string("/in/") + file;
        list.append(job);
    }
    return list;
}

std::vector<std::string> Files(const JobList& list) {
    std::vector<std::string> files;
    for (std::size_t i = 0; i < list.size(); ++i) files.push_back(list[i].File);
    return files;
}

TEST(JobList, RemovesRunsOfSelectedRowsFromTheBottomUp) {
    JobList list = ListOf({"0", "1", "2", "3", "4", "5"});
    RecordingObserver observer;
    list.setObserver(&observer);
    list.removeRows({4, 1, 2, 5, 2, 9});
    EXPECT_EQ(Files(list), (std::vector<std::string>{"0", "3"}));
    EXPECT_EQ(observer.calls, (std::vector<std::string>{"remove 4-5", "removed", "remove 1-2", "removed"}));
}

TEST(JobList, TakesJobsFromTheTopAndTellsAboutEdits) {
    JobList list = ListOf({"a", "b"});
    RecordingObserver observer;
    list.setObserver(&observer);
    list.setField(1, JobField::Album, "X");
    list.setField(1, JobField::Album, "X");  // unchanged: nothing to tell
    list.setField(7, JobField::Album, "Y");  // no such row
    EXPECT_EQ(list.takeFirst().File, "a");
    EXPECT_EQ(list[0].Album, "X");
    EXPECT_EQ(observer.calls, (std::vector<std::string>{"change 1:4", "remove 0-0", "removed"}));
}

// A reader answering from a table, as the ID3 reader would.
TagReader FakeReader(std::optional<JobTags> tags) {
    return [tags](const std::filesystem::path&) { return tags; };
}

TEST(AddJob, NewRowTakesProfileFolderAndEveryTag) {
    JobList list;
    EXPECT_FALSE(AddJob(list, "/m/b.txt", "Voice", "/out", FakeReader(std::nullopt)));
    JobTags tags{"T", "A", "Al", "1999", ""};
    ASSERT_TRUE(AddJob(list, "/m/song.mp3", "Voice", "/out", FakeReader(tags)));
    ASSERT_TRUE(AddJob(list, "/m/song.mp3", "Voice", "", FakeReader(std::nullopt)));
    ASSERT_EQ(list.size(), 2u);  // the same file twice gives two rows
    EXPECT_EQ(list[0], (EncodeJob{"song.mp3", "Voice", "T", "A", "Al", "1999", "", "/m/song.mp3", "/out"}));
    EXPECT_EQ(list[1], (EncodeJob{"song.mp3", "Voice", "", "", "", "", "", "/m/song.mp3", ""}));
}

TEST(AddJob, UnreadableFileKeepsItsRowWithEmptyTags) {
    JobList list;
    const TagReader failing = [](const std::filesystem::path& p) -> std::optional<JobTags> {
        throw FileOpenError(p.string());
    };
    EXPECT_THROW(AddJob(list, "/m/gone.mp3", "Voice", "/out", failing), FileOpenError);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (EncodeJob{"gone.mp3", "Voice", "", "", "", "", "", "/m/gone.mp3", "/out"}));
}

// The reader of every format fills a row from an MP3 or a WAV exactly as
// the ID3 reader does.
TEST(AddJob, ReadsTagsThroughTheId3Reader) {
    using namespace qorvane::testing;
    TempDir dir;
    const auto mp3 = dir.write("t.mp3", Tag(3, 0, Frame23("TIT2", Text("Title")) + Frame23("TYER", Text("2001"))) +
                                            MpegAudio());
    const auto pcm = dir.write("p.wav", "RIFF" + std::string(60, '\0'));
    const auto folder = dir / "clip.avi";
    std::filesystem::create_directory(folder);
    Cp932CodePage cp932;
    const FileMediaTagReader everyFormat(cp932, FileMediaTagReader::Pictures::Skip);
    for (const TagReader& reader : {Id3TagReader(cp932), TagReaderOf(everyFormat)}) {
        JobList list;
        list.append(EncodeJob{});
        ASSERT_TRUE(AddJob(list, mp3.string(), "P", "", reader));
        ASSERT_TRUE(AddJob(list, pcm.string(), "P", "", reader));
        EXPECT_EQ(list[1].Title, "Title");
        EXPECT_EQ(list[1].Year, "2001");
        EXPECT_EQ(list[1].Copy, "");
        EXPECT_EQ(list[2].Title, "");
        EXPECT_THROW(AddJob(list, (dir / "none.mp3").string(), "P", "", reader), FileOpenError);
        // A folder named like a video is no file to open either.
        EXPECT_THROW(AddJob(list, folder.string(), "P", "", reader), FileOpenError);
        ASSERT_EQ(list.size(), 5u);
        EXPECT_EQ(list[4], (EncodeJob{"clip.avi", "P", "", "", "", "", "", folder.string(), ""}));
    }
}

TEST(FieldEdits, TitleGoesToTheFirstSelectedRowOnly) {
    JobList list = ListOf({"0", "1", "2", "3", "4"});
    ApplyTitleEdit(list, {3, 1}, "New");
    EXPECT_EQ(list[1].Title, "New");
    EXPECT_EQ(list[3].Title, "");
    ApplyTitleEdit(list, {}, "None");  // nothing selected: nothing written
    EXPECT_EQ(list[1].Title, "New");
}

TEST(FieldEdits, OtherFieldsGoToEverySelectedRowByTag) {
    JobList list = ListOf({"0", "1", "2", "3", "4"});
    ApplyFieldEdit(list, kAlbumTag, {1, 3}, "Al");
    ApplyFieldEdit(list, kAuthorTag, {1, 3}, "Ar");
    ApplyFieldEdit(list, kYearTag, {3}, "2004");
    ApplyFieldEdit(list, kCopyTag, {1}, "(c)");
    ApplyFieldEdit(list, kOutDirTag, {0, 1, 3}, "/o");
    EXPECT_EQ(list[1], (EncodeJob{"1", "", "", "Ar", "Al", "", "(c)", "/in/1", "/o"}));
    EXPECT_EQ(list[3], (EncodeJob{"3", "", "", "Ar", "Al", "2004", "", "/in/3", "/o"}));
    EXPECT_EQ(list[2], (EncodeJob{"2", "", "", "", "", "", "", "/in/2", ""}));
    EXPECT_EQ(list[0].OutDir, "/o");
    for (int tag : {0, 1, 7, -1}) {
        ApplyFieldEdit(list, tag, {0, 1, 2, 3, 4}, "zz");
        EXPECT_EQ(list[2], (EncodeJob{"2", "", "", "", "", "", "", "/in/2", ""})) << tag;
    }
}

TEST(FieldEdits, ProfileChoiceAndOutputFolderGoToSelectedRows) {
    JobList list = ListOf({"0", "1", "2"});
    SetProfileOfRows(list, {0, 2}, "Video");
    SetOutDirOfRows(list, {2}, "/o");
    EXPECT_EQ(list[0].Profile, "Video");
    EXPECT_EQ(list[1].Profile, "");
    EXPECT_EQ(list[2].OutDir, "/o");
}

TEST(JobRules, PickerStartsInOutputFolderElseSourceFolder) {
    EncodeJob job;
    job.Path = "/music/a b/song.mp3";
    EXPECT_EQ(OutputFolderStart(job), "/music/a b/");
    job.OutDir = "/out";
    EXPECT_EQ(OutputFolderStart(job), "/out");
    job = EncodeJob{};
    job.Path = "song.mp3";
    EXPECT_EQ(OutputFolderStart(job), "");
}

TEST(JobRules, EditorOpensFirstSelectedRowsProfileElseTheDropDowns) {
    JobList list = ListOf({"0", "1", "2"});
    SetProfileOfRows(list, {1}, "Row1");
    SetProfileOfRows(list, {2}, "Row2");
    EXPECT_EQ(ProfileToEdit(list, {2, 1}, "Shown"), "Row1");
    EXPECT_EQ(ProfileToEdit(list, {}, "Shown"), "Shown");
}

TEST(JobRules, YearTakesDigitsAndBackspaceOnly) {
    for (char32_t c : {U'0', U'5', U'9', char32_t{8}}) EXPECT_TRUE(IsYearCharacterAccepted(c));
    for (char32_t c : {U'a', U'-', U' ', U'/', U':', U'０', char32_t{13}}) EXPECT_FALSE(IsYearCharacterAccepted(c));
}

TEST(JobRules, CountIsRowsPlusOne) {
    EXPECT_EQ(ProgressCountText(0), "(1) ");
    EXPECT_EQ(ProgressCountText(10000), "(10001) ");
}

TEST(JobRules, RememberedProfileIsFoundWithoutRegardToCase) {
    const std::vector<std::string> names{"Voice", "Temporary", "temporary"};
    EXPECT_EQ(RememberedProfileIndex(names, "tempORARY"), 1u);
    EXPECT_EQ(RememberedProfileIndex(names, "Gone"), 0u);
    EXPECT_EQ(RememberedProfileIndex(names, ""), 0u);
    EXPECT_EQ(RememberedProfileIndex({}, "x"), 0u);
}

}  // namespace
}  // namespace qorvane
