// The TagLib editor on real ASF files made by ffmpeg: where each attribute
// lands, that closing never rewrites, and that nothing but a valid, writable
// ASF file is ever touched.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "e2e/asf_tag_dump.h"
#include "platform/posix/taglib_metadata_editor.h"
#include "support/media_tools.h"
#include "support/run_program.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"
#include "tags/wma_tag_writer.h"

namespace qorvane {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;

// A file's bytes and modification time, to show it was left alone.
struct FileState {
    std::string bytes;
    fs::file_time_type modified;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(const fs::path& path) { return {ReadFileBytes(path), fs::last_write_time(path)}; }

// Puts the modification time well in the past so that any rewrite shows.
void Age(const fs::path& path) {
    fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(48));
}

class TagLibEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        wma_ = dir_ / "out.wma";
        testing::MakeWmaFile(wma_);
        Age(wma_);
    }

    testing::TempDir dir_;
    fs::path wma_;
    TagLibMetadataEditor editor_;
};

TEST_F(TagLibEditorTest, ContentDescriptionNamesUseItsOwnFields) {
    WriteJobTags(wma_, MakeCurrentJobTags("題名", "歌手", "アルバム", "© 2024", "2024"), editor_);
    struct Source final : MediaTagReader {
        std::optional<SourceTags> read(const fs::path&) const override {
            SourceTags source;
            source.Genre = "Rock";
            source.Comment = "コメント";
            return source;
        }
    };
    std::vector<std::string> notes;
    WriteJobTagsWithSource(dir_ / "a.flac", wma_, MakeCurrentJobTags("", "", "", "", ""), editor_, Source{}, false,
                           notes);

    const auto dump = testing::DumpAsfTags(wma_);
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->contentDescription, (std::map<std::string, std::string>{
                                            {"Title", "題名"},
                                            {"Author", "歌手"},
                                            {"Copyright", "© 2024"},
                                            {"Description", "コメント"},
                                        }));
    // None of them may appear a second time among the attributes.
    auto attributes = dump->attributes;
    attributes.erase("WM/EncodingSettings");  // ffmpeg's own stamp, kept
    EXPECT_EQ(attributes, (std::map<std::string, std::vector<std::string>>{
                              {"WM/AlbumTitle", {"アルバム"}},
                              {"WM/Year", {"2024"}},
                              {"WM/Genre", {"Rock"}},
                          }));
}

TEST_F(TagLibEditorTest, AJobWithNothingToStoreLeavesTheFileUntouched) {
    const FileState before = StateOf(wma_);
    WriteJobTags(wma_, MakeCurrentJobTags("", "", "", "", ""), editor_);
    EXPECT_TRUE(StateOf(wma_) == before);
}

TEST_F(TagLibEditorTest, ClosingDropsWhatWasSetAndWritesNothing) {
    const FileState before = StateOf(wma_);
    ASSERT_TRUE(editor_.LoadRuntime());
    ASSERT_TRUE(editor_.CreateEditor());
    ASSERT_TRUE(editor_.Open(wma_));
    ASSERT_TRUE(editor_.QueryHeaderInfo());
    const std::u16string value = u"never saved";
    EXPECT_TRUE(editor_.SetAttribute(0, u"Title", AttributeDataType::String,
                                     reinterpret_cast<const std::byte*>(value.c_str()),
                                     static_cast<std::uint16_t>((value.size() + 1) * 2)));
    editor_.Close();
    editor_.ReleaseHeaderInfo();
    editor_.ReleaseEditor();
    editor_.UnloadRuntime();
    EXPECT_TRUE(StateOf(wma_) == before);
}

TEST_F(TagLibEditorTest, RefusesValuesItCannotStore) {
    ASSERT_TRUE(editor_.LoadRuntime());
    ASSERT_TRUE(editor_.CreateEditor());
    const std::u16string value = u"x";
    const auto* bytes = reinterpret_cast<const std::byte*>(value.c_str());
    // Not before the header interface is there.
    EXPECT_FALSE(editor_.SetAttribute(0, u"Title", AttributeDataType::String, bytes, 4));
    ASSERT_TRUE(editor_.Open(wma_));
    EXPECT_FALSE(editor_.Open(wma_)) << "one file per editor";
    EXPECT_FALSE(editor_.SetAttribute(0, u"Title", AttributeDataType::String, bytes, 4));
    ASSERT_TRUE(editor_.QueryHeaderInfo());
    EXPECT_FALSE(editor_.SetAttribute(0, u"WM/TrackNumber", AttributeDataType::Dword, bytes, 4));
    EXPECT_FALSE(editor_.SetAttribute(0, u"WM/Lyrics", AttributeDataType::Binary, bytes, 4));
    EXPECT_FALSE(editor_.SetAttribute(0, u"WM/Picture", AttributeDataType::Binary, bytes, 4)) << "no picture";
    EXPECT_FALSE(editor_.SetAttribute(0, u"", AttributeDataType::String, bytes, 4));
    editor_.Close();
    editor_.ReleaseHeaderInfo();
    editor_.ReleaseEditor();
    editor_.UnloadRuntime();
}

TEST_F(TagLibEditorTest, LaterWritesReplaceValuesAndRemoveNothing) {
    WriteJobTags(wma_, MakeCurrentJobTags("First", "Someone", "", "", "1999"), editor_);
    WriteJobTags(wma_, MakeCurrentJobTags("Second", "", "", "", "2000"), editor_);

    const auto dump = testing::DumpAsfTags(wma_);
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->contentDescription.at("Title"), "Second");
    EXPECT_EQ(dump->contentDescription.at("Author"), "Someone");
    EXPECT_EQ(dump->attributes.at("WM/Year"), std::vector<std::string>{"2000"});
    EXPECT_EQ(dump->attributes.count("WM/EncodingSettings"), 1u) << "the encoder's stamp stays";

    // Still a sound file for an independent reader.
    const auto probed = testing::ProbeTags(wma_);
    EXPECT_EQ(probed.at("title"), "Second");
    EXPECT_EQ(probed.at("WM/Year"), "2000");
}

// The file properties object records the file's size; a header that grew
// must not leave the old figure there.
TEST_F(TagLibEditorTest, SavingKeepsTheRecordedFileSizeTrue) {
    const auto recordedSize = [](const fs::path& path) {
        const std::string bytes = ReadFileBytes(path);
        const std::string guid("\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
        const std::size_t at = bytes.find(guid);
        EXPECT_NE(at, std::string::npos);
        std::uint64_t size = 0;
        for (int i = 7; i >= 0; --i) size = size << 8 | static_cast<unsigned char>(bytes.at(at + 40 + i));
        return size;
    };
    ASSERT_EQ(recordedSize(wma_), fs::file_size(wma_));
    WriteJobTags(wma_, MakeCurrentJobTags(std::string(250, 't'), "A", "B", "C", "2000"), editor_);
    EXPECT_EQ(recordedSize(wma_), fs::file_size(wma_));
    WriteJobTags(wma_, MakeCurrentJobTags("short", "", "", "", ""), editor_);
    EXPECT_EQ(recordedSize(wma_), fs::file_size(wma_));

    testing::ProgramResult decoded = testing::RunTool(
        {"ffmpeg", "-nostdin", "-v", "error", "-i", wma_.string(), "-f", "null", "-"}, dir_.path());
    EXPECT_EQ(decoded.exitCode, 0);
    EXPECT_EQ(decoded.errors, "");
}

// Writes that fail as on a full disk: a full tmpfs where the test may mount
// one, otherwise a file size limit at the file's present size.
class NoRoomToGrow {
public:
    explicit NoRoomToGrow(const fs::path& folder) : disk_(folder, "1m") {}
    // From now on nothing grows: the tmpfs is filled, or no file may grow
    // past `size` bytes.
    void fill(std::uintmax_t size) {
        if (disk_.mounted()) return disk_.leaveFree(0);
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        limited_ = true;
        rlimit limit = saved_;
        limit.rlim_cur = size;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~NoRoomToGrow() {
        if (!limited_) return;
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    testing::SmallDisk disk_;
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
    bool limited_ = false;
};

TEST_F(TagLibEditorTest, ASaveThatFailsLeavesTheFileAsTheEncoderWroteItAndSaysWhy) {
    const fs::path folder = dir_ / "disk";
    const std::string encoded = ReadFileBytes(wma_);
    {
        NoRoomToGrow full(folder);
        const fs::path output = dir_.write("disk/song.wma", encoded);
        full.fill(encoded.size());
        const SaveResult result =
            WriteJobTags(output, MakeCurrentJobTags(std::string(250, 't'), "A", "B", "C", "2000"), editor_);
        EXPECT_FALSE(result.saved);
        EXPECT_FALSE(result.reason.empty());
        EXPECT_TRUE(ReadFileBytes(output) == encoded) << "the encoder's file was changed";
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "song.wma" || name == "filler") << "left behind: " << name;
        }
    }
    // With room again the same file takes its tags.
    const fs::path output = dir_.write("disk/song.wma", encoded);
    EXPECT_TRUE(WriteJobTags(output, MakeCurrentJobTags("T", "", "", "", ""), editor_).saved);
    EXPECT_EQ(testing::ProbeTags(output).at("title"), "T");
}

TEST_F(TagLibEditorTest, ANameAtTheLengthLimitTakesItsTags) {
    std::string name;
    while (name.size() + 3 + 4 <= 255) name += "あ";  // three bytes each, 255 bytes at most with ".wma"
    const fs::path output = dir_ / (name + ".wma");
    fs::copy_file(wma_, output);
    EXPECT_EQ(WriteJobTags(output, MakeCurrentJobTags("T", "", "", "", ""), editor_), SaveResult{});
    EXPECT_EQ(testing::ProbeTags(output).at("title"), "T");
}

TEST_F(TagLibEditorTest, KeepsCharactersOutsideTheBasicPlane) {
    const std::string text = "歌 \xF0\x9F\x8E\xB5 \xF0\xA0\x80\x8B";  // U+1F3B5, U+2000B
    WriteJobTags(wma_, MakeCurrentJobTags(text, "", text, "", ""), editor_);
    const auto dump = testing::DumpAsfTags(wma_);
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->contentDescription.at("Title"), text);
    EXPECT_EQ(dump->attributes.at("WM/AlbumTitle"), std::vector<std::string>{text});
    const auto probed = testing::ProbeTags(wma_);
    EXPECT_EQ(probed.at("title"), text);
    EXPECT_EQ(probed.at("album"), text);
}

TEST_F(TagLibEditorTest, AnythingButAWritableAsfFileIsLeftAlone) {
    const CurrentJobTags tags = MakeCurrentJobTags("T", "A", "B", "C", "2000");

    WriteJobTags(dir_ / "missing.wma", tags, editor_);
    EXPECT_FALSE(fs::exists(dir_ / "missing.wma"));

    const auto text = dir_.write("notes.wma", "not a media file at all, just some text\n");
    const auto mp3 = dir_.write("song.mp3", testing::MakeBareMp3(dir_.path()));
    const auto cutHeader = dir_.write("cut.wma", ReadFileBytes(wma_).substr(0, 200));
    const auto empty = dir_.write("empty.wma", "");
    for (const fs::path& path : {text, mp3, cutHeader, empty}) {
        Age(path);
        const FileState before = StateOf(path);
        WriteJobTags(path, tags, editor_);
        EXPECT_TRUE(StateOf(path) == before) << path;
    }

    const auto folder = dir_ / "folder.wma";
    fs::create_directory(folder);
    WriteJobTags(folder, tags, editor_);
    EXPECT_TRUE(fs::is_empty(folder));

    fs::permissions(wma_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const FileState before = StateOf(wma_);
    WriteJobTags(wma_, tags, editor_);
    if (::access(wma_.c_str(), W_OK) != 0) {  // root may write anyway
        EXPECT_TRUE(StateOf(wma_) == before);
    }

    // The editor is still usable after all those refusals.
    fs::permissions(wma_, fs::perms::owner_write, fs::perm_options::add);
    WriteJobTags(wma_, tags, editor_);
    EXPECT_EQ(testing::ProbeTags(wma_).at("title"), "T");
}

}  // namespace
}  // namespace qorvane
