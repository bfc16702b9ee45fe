#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/text_codec.h"
#include "encode/command_line.h"
#include "platform/file_open_error.h"
#include "support/temp_dir.h"
#include "tags/cover_art.h"
#include "tags/wma_tag_writer.h"

namespace qorvane {
namespace {

// Records every call as one line; stored attributes as "name=value" after
// checking the value's layout the way the runtime would read it.
class RecordingEditor final : public MetadataEditor {
public:
    bool loadFails = false, createFails = false, openFails = false, queryFails = false;
    bool setFails = false;
    std::vector<std::string> calls;
    std::filesystem::path openedPath;

    bool LoadRuntime() override { return record("LoadRuntime", !loadFails); }
    bool CreateEditor() override { return record("CreateEditor", !createFails); }
    bool Open(const std::filesystem::path& path) override {
        openedPath = path;
        return record("Open", !openFails);
    }
    bool QueryHeaderInfo() override { return record("QueryHeaderInfo", !queryFails); }
    bool SetAttribute(std::uint16_t stream, std::u16string_view name, AttributeDataType type,
                      const std::byte* value, std::uint32_t byteLength) override {
        EXPECT_EQ(stream, 0);
        const std::string bytes(reinterpret_cast<const char*>(value), byteLength);
        if (name == u"WM/Picture") {
            EXPECT_EQ(type, AttributeDataType::Binary);
            calls.push_back("WM/Picture=" + DecodePicture(bytes));
            return !setFails;
        }
        EXPECT_EQ(type, AttributeDataType::String);
        EXPECT_EQ(byteLength % 2, 0);
        std::u16string text(byteLength / 2, u'?');
        std::memcpy(text.data(), value, byteLength);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.back(), u'\0') << "the length must count the terminating NUL";
        text.pop_back();
        EXPECT_EQ(text.find(u'\0'), std::u16string::npos);
        calls.push_back(Utf16ToUtf8(name) + "=" + Utf16ToUtf8(text));
        return !setFails;
    }
    SaveResult flushAnswer;
    SaveResult Flush() override {
        calls.push_back("Flush");
        return flushAnswer;
    }
    void Close() override { calls.push_back("Close"); }
    void ReleaseHeaderInfo() override { calls.push_back("ReleaseHeaderInfo"); }
    void ReleaseEditor() override { calls.push_back("ReleaseEditor"); }
    void UnloadRuntime() override { calls.push_back("UnloadRuntime"); }

private:
    // Reads the ASF picture layout back as "type|MIME|description|data"
    // (a long picture by its size).
    static std::string DecodePicture(const std::string& bytes) {
        if (bytes.size() < 5) return "too short";
        std::uint32_t length = 0;
        for (int i = 0; i < 4; ++i) length |= std::uint32_t(static_cast<unsigned char>(bytes[1 + i])) << (8 * i);
        std::size_t at = 5;
        const auto text = [&] {
            std::u16string units;
            for (; at + 1 < bytes.size(); at += 2) {
                const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                                        static_cast<unsigned char>(bytes[at + 1]) << 8);
                if (unit == u'\0') break;
                units += unit;
            }
            at += 2;
            return Utf16ToUtf8(units);
        };
        const std::string mime = text();
        const std::string description = text();
        if (at + length != bytes.size()) return "bad length";
        const std::string data = bytes.substr(at);
        return std::to_string(static_cast<unsigned char>(bytes[0])) + "|" + mime + "|" + description + "|" +
               (data.size() <= 16 ? data : std::to_string(data.size()) + " bytes");
    }

    bool record(const char* call, bool result) {
        calls.push_back(call);
        return result;
    }
};

using Calls = std::vector<std::string>;
const Calls kOpening{"LoadRuntime", "CreateEditor", "Open", "QueryHeaderInfo"};
const Calls kSaving{"Flush", "ReleaseHeaderInfo", "ReleaseEditor", "UnloadRuntime"};
const Calls kClosing{"Close", "ReleaseHeaderInfo", "ReleaseEditor", "UnloadRuntime"};

Calls Concat(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A source's genre, track and comment.
SourceTags Source(std::string genre, std::int32_t track, std::string comment) {
    SourceTags tags;
    tags.Genre = std::move(genre);
    tags.Track = track;
    tags.Comment = std::move(comment);
    return tags;
}

SourcePicture Picture(std::uint8_t type, std::string data, std::string description = "") {
    return {type, "image/jpeg", std::move(description), std::move(data)};
}

const CurrentJobTags kNoTags = MakeCurrentJobTags("", "", "", "", "");
const CurrentJobTags kTitleOnly = MakeCurrentJobTags("T", "", "", "", "");

// Answers every source with the tags it was given, counting the reads.
struct FakeReader final : MediaTagReader {
    std::optional<SourceTags> tags;
    bool cannotOpen = false;
    mutable int reads = 0;
    std::optional<SourceTags> read(const std::filesystem::path& source) const override {
        ++reads;
        if (cannotOpen) throw FileOpenError(source.string());
        return tags;
    }
};

// A source in a folder of its own, where picture files may lie beside it.
class WithSource : public ::testing::Test {
protected:
    SaveResult write(const CurrentJobTags& tags, bool carryCover = true) {
        return WriteJobTagsWithSource(source, "/out/a.wma", tags, editor, reader, carryCover, notes);
    }
    // The calls of a saved edit with these attributes after the title.
    static Calls SavedWith(const Calls& stored) { return Concat({kOpening, {"Title=T"}, stored, kSaving}); }

    testing::TempDir dir;
    std::filesystem::path source = dir / "song.flac";
    RecordingEditor editor;
    FakeReader reader;
    std::vector<std::string> notes;
};

TEST(WriteJobTags, StoresTheFiveJobTagsInOrderAndSaves) {
    RecordingEditor editor;
    WriteJobTags("/out/song.wma",
                 MakeCurrentJobTags("夜明け", "歌手", "アルバム", "(C) 2024 某", "2024"), editor);
    EXPECT_EQ(editor.calls, Concat({kOpening,
                                    {"Title=夜明け", "Author=歌手", "WM/AlbumTitle=アルバム",
                                     "Copyright=(C) 2024 某", "WM/Year=2024"},
                                    kSaving}));
    EXPECT_EQ(editor.openedPath, "/out/song.wma");
}

TEST(WriteJobTags, AJobWithoutTagsIsClosedUnsaved) {
    RecordingEditor editor;
    WriteJobTags("/out/a.wma", kNoTags, editor);
    EXPECT_EQ(editor.calls, Concat({kOpening, kClosing}));
}

TEST(WriteJobTags, StoresOnlyTheTagsThatAreThere) {
    RecordingEditor editor;
    WriteJobTags("/out/a.wma", MakeCurrentJobTags("", "", "", "", "19991"), editor);
    EXPECT_EQ(editor.calls, Concat({kOpening, {"WM/Year=1999"}, kSaving}));

    editor.calls.clear();
    WriteJobTags("/out/a.wma", MakeCurrentJobTags("", "A", "", "C", ""), editor);
    EXPECT_EQ(editor.calls, Concat({kOpening, {"Author=A", "Copyright=C"}, kSaving}));
}

TEST(WriteJobTags, ARefusedAttributeDoesNotStopTheOthers) {
    RecordingEditor editor;
    editor.setFails = true;
    WriteJobTags("/out/a.wma", MakeCurrentJobTags("T", "", "", "", "2001"), editor);
    EXPECT_EQ(editor.calls, Concat({kOpening, {"Title=T", "WM/Year=2001"}, kSaving}));
}

TEST_F(WithSource, UndoesExactlyWhatSucceededWhenAStepFails) {
    reader.tags = Source("Rock", 1, "c");
    RecordingEditor noRuntime;
    noRuntime.loadFails = true;
    WriteJobTags("/out/a.wma", kTitleOnly, noRuntime);
    EXPECT_EQ(noRuntime.calls, (Calls{"LoadRuntime"}));

    RecordingEditor noEditor;
    noEditor.createFails = true;
    WriteJobTags("/out/a.wma", kTitleOnly, noEditor);
    EXPECT_EQ(noEditor.calls, (Calls{"LoadRuntime", "CreateEditor", "UnloadRuntime"}));

    RecordingEditor notOpened;
    notOpened.openFails = true;
    WriteJobTags("/out/a.wma", kTitleOnly, notOpened);
    EXPECT_EQ(notOpened.calls,
              (Calls{"LoadRuntime", "CreateEditor", "Open", "ReleaseEditor", "UnloadRuntime"}));

    // Without the header interface nothing is stored, and the source is
    // not even read.
    editor.queryFails = true;
    write(kTitleOnly);
    EXPECT_EQ(editor.calls, (Calls{"LoadRuntime", "CreateEditor", "Open", "QueryHeaderInfo",
                                   "Close", "ReleaseEditor", "UnloadRuntime"}));
    EXPECT_EQ(reader.reads, 0);
}

TEST_F(WithSource, CarriesOverTheSourcesGenreTrackAndComment) {
    struct Case {
        SourceTags source;
        Calls stored;
    };
    const Case cases[] = {
        {Source("(17)Rock", 3, "良い曲"), {"WM/GenreID=(17)Rock", "WM/TrackNumber=3", "Description=良い曲"}},
        {Source("Rock", 12, ""), {"WM/Genre=Rock", "WM/TrackNumber=12"}},
        {Source("", 0, "only a comment"), {"Description=only a comment"}},
        {Source("(Foo)", 0, ""), {"WM/GenreID=(Foo)"}},
        {Source("", 0, ""), {}},
    };
    for (const Case& c : cases) {
        editor.calls.clear();
        reader.tags = c.source;
        write(kTitleOnly);
        EXPECT_EQ(editor.calls, SavedWith(c.stored)) << c.source.Genre;
    }
}

// After the job's five, every source field the output has a place for, in
// a fixed order, and the cover last.
TEST_F(WithSource, StoresTheSourcesOwnFieldsAfterTheJobsInOrder) {
    SourceTags all = Source("Jazz", 7, "note");
    all.Title = "not the job's";  // the job's five come from the row only
    all.AlbumArtist = "Various";
    all.Disc = "1/2";
    all.Composer = "作曲者";
    all.Pictures = {Picture(3, "jpeg bytes", "表紙")};
    reader.tags = all;
    write(MakeCurrentJobTags("T", "", "", "", "2020"));
    EXPECT_EQ(editor.calls, Concat({kOpening,
                                    {"Title=T", "WM/Year=2020", "WM/Genre=Jazz", "WM/TrackNumber=7",
                                     "Description=note", "WM/AlbumArtist=Various", "WM/PartOfSet=1/2",
                                     "WM/Composer=作曲者", "WM/Picture=3|image/jpeg|表紙|jpeg bytes"},
                                    kSaving}));
    EXPECT_TRUE(notes.empty());
}

TEST_F(WithSource, SourceTagsAloneMakeTheFileSaved) {
    reader.tags = Source("", 7, "");
    write(kNoTags);
    EXPECT_EQ(editor.calls, Concat({kOpening, {"WM/TrackNumber=7"}, kSaving}));
}

TEST_F(WithSource, CutsLongSourceTextLikeTheJobsOwn) {
    reader.tags = Source("", 0, std::string(400, 'c'));
    reader.tags->Composer = std::string(300, 'k');
    write(kTitleOnly);
    EXPECT_EQ(editor.calls,
              SavedWith({"Description=" + std::string(250, 'c'), "WM/Composer=" + std::string(250, 'k')}));
}

TEST_F(WithSource, AnUnrecognisedSourceAddsNothing) {
    write(MakeCurrentJobTags("", "", "", "", "2000"));
    EXPECT_EQ(editor.calls, Concat({kOpening, {"WM/Year=2000"}, kSaving}));
    EXPECT_EQ(reader.reads, 1);
}

TEST_F(WithSource, ASourceErrorArrivesAfterTheEditIsSavedAndReleased) {
    reader.cannotOpen = true;
    dir.write("cover.jpg", "beside");  // not taken for a source that is gone
    EXPECT_THROW(write(kTitleOnly), FileOpenError);
    EXPECT_EQ(editor.calls, SavedWith({}));

    // With nothing stored yet the file is closed unsaved instead.
    editor.calls.clear();
    EXPECT_THROW(write(kNoTags), FileOpenError);
    EXPECT_EQ(editor.calls, Concat({kOpening, kClosing}));
}

TEST_F(WithSource, AFailedSaveIsReturnedEvenOverASourceError) {
    editor.flushAnswer = {false, "No space left on device"};
    EXPECT_EQ(WriteJobTags("/out/a.wma", kTitleOnly, editor), editor.flushAnswer);

    reader.cannotOpen = true;
    SaveResult result;
    EXPECT_NO_THROW(result = write(kTitleOnly));
    EXPECT_EQ(result, editor.flushAnswer);
}

TEST_F(WithSource, TheFrontCoverIsChosenElseTheFirstPicture) {
    reader.tags = SourceTags{};
    reader.tags->Pictures = {Picture(4, "back"), {3, "image/png", "front", "front bytes"}, Picture(3, "second")};
    write(kTitleOnly);
    EXPECT_EQ(editor.calls, SavedWith({"WM/Picture=3|image/png|front|front bytes"}));

    editor.calls.clear();
    reader.tags->Pictures = {Picture(4, "back"), Picture(0, "other")};
    write(kTitleOnly);
    EXPECT_EQ(editor.calls, SavedWith({"WM/Picture=4|image/jpeg||back"}));
}

TEST_F(WithSource, APictureFileBesideTheSourceStandsInForAMissingCover) {
    dir.write("Front.PNG", "png bytes");
    dir.write("FOLDER.JPEG", "jpeg bytes");
    dir.write("cover.gif", "not a kind that stands in");
    write(kTitleOnly);  // the source has no tags at all
    EXPECT_EQ(editor.calls, SavedWith({"WM/Picture=3|image/jpeg||jpeg bytes"}));

    // A source's own picture wins over the file.
    editor.calls.clear();
    reader.tags = SourceTags{};
    reader.tags->Pictures = {Picture(3, "own")};
    write(kTitleOnly);
    EXPECT_EQ(editor.calls, SavedWith({"WM/Picture=3|image/jpeg||own"}));
}

TEST(CoverFileBeside, TakesTheFirstNameThenExtensionInAnyLetterCase) {
    testing::TempDir dir;
    const auto source = dir / "clip.avi";
    EXPECT_EQ(CoverFileBeside(source), std::nullopt);
    dir.write("xcover.jpg", "");
    dir.write("cover.jpg.txt", "");
    std::filesystem::create_directory(dir / "cover.jpg");  // a folder is no picture
    EXPECT_EQ(CoverFileBeside(source), std::nullopt);
    // Each file written takes over, being earlier in the order.
    for (const char* name : {"AlbumArt.png", "albumart.JPEG", "FRONT.png", "front.jpeg", "Folder.Jpg", "cover.PNG",
                             "Cover.jpeg", "COVER.JPG"}) {
        dir.write(name, "");
        EXPECT_EQ(CoverFileBeside(source), dir / name);
    }
    EXPECT_EQ(CoverMimeType(dir / "cover.PNG"), "image/png");
    EXPECT_EQ(CoverMimeType(dir / "Cover.jpeg"), "image/jpeg");
}

TEST_F(WithSource, PicturesOver16MiBAreLeftOutWithANote) {
    reader.tags = SourceTags{};
    reader.tags->Pictures = {Picture(3, std::string(kMaxCoverBytes, 'p'))};
    write(kTitleOnly);
    EXPECT_EQ(editor.calls, SavedWith({"WM/Picture=3|image/jpeg||16777216 bytes"}));
    EXPECT_TRUE(notes.empty());

    editor.calls.clear();
    reader.tags->Pictures = {Picture(3, std::string(kMaxCoverBytes + 1, 'p'))};
    write(kTitleOnly);
    EXPECT_EQ(editor.calls, SavedWith({}));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find(source.string()), std::string::npos) << notes[0];

    // A picture file beside the source likewise.
    editor.calls.clear();
    notes.clear();
    reader.tags.reset();
    const auto big = dir.write("folder.png", std::string(kMaxCoverBytes + 1, 'f'));
    write(kTitleOnly);
    EXPECT_EQ(editor.calls, SavedWith({}));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find(big.string()), std::string::npos) << notes[0];
}

TEST_F(WithSource, CoversOffCarriesNoPicture) {
    dir.write("cover.jpg", "beside");
    reader.tags = Source("Pop", 0, "");
    reader.tags->Pictures = {Picture(3, std::string(kMaxCoverBytes + 1, 'p'))};
    write(kTitleOnly, false);
    EXPECT_EQ(editor.calls, SavedWith({"WM/Genre=Pop"}));
    EXPECT_TRUE(notes.empty());
}

}  // namespace
}  // namespace qorvane
