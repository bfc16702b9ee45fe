#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file_open_error.h"
#include "base/text_codec.h"
#include "encode/command_line.h"
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
                      const std::byte* value, std::uint16_t byteLength) override {
        EXPECT_EQ(stream, 0);
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

const CurrentJobTags kNoTags = MakeCurrentJobTags("", "", "", "", "");

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

TEST(WriteJobTags, UndoesExactlyWhatSucceededWhenAStepFails) {
    const CurrentJobTags tags = MakeCurrentJobTags("T", "", "", "", "");
    RecordingEditor noRuntime;
    noRuntime.loadFails = true;
    WriteJobTags("/out/a.wma", tags, noRuntime);
    EXPECT_EQ(noRuntime.calls, (Calls{"LoadRuntime"}));

    RecordingEditor noEditor;
    noEditor.createFails = true;
    WriteJobTags("/out/a.wma", tags, noEditor);
    EXPECT_EQ(noEditor.calls, (Calls{"LoadRuntime", "CreateEditor", "UnloadRuntime"}));

    RecordingEditor notOpened;
    notOpened.openFails = true;
    WriteJobTags("/out/a.wma", tags, notOpened);
    EXPECT_EQ(notOpened.calls,
              (Calls{"LoadRuntime", "CreateEditor", "Open", "ReleaseEditor", "UnloadRuntime"}));

    // Without the header interface nothing is stored, and the source is
    // not even read.
    RecordingEditor noHeaderInfo;
    noHeaderInfo.queryFails = true;
    bool sourceRead = false;
    WriteWindowsMediaTags("/out/a.wma", tags, noHeaderInfo, [&]() -> std::optional<SourceTags> {
        sourceRead = true;
        return Source("Rock", 1, "c");
    });
    EXPECT_EQ(noHeaderInfo.calls, (Calls{"LoadRuntime", "CreateEditor", "Open", "QueryHeaderInfo",
                                         "Close", "ReleaseEditor", "UnloadRuntime"}));
    EXPECT_FALSE(sourceRead);
}

TEST(WriteWindowsMediaTags, CarriesOverTheSourcesGenreTrackAndComment) {
    const CurrentJobTags tags = MakeCurrentJobTags("T", "", "", "", "");
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
        RecordingEditor editor;
        WriteWindowsMediaTags("/out/a.wma", tags, editor, [&] { return std::optional(c.source); });
        EXPECT_EQ(editor.calls, Concat({kOpening, {"Title=T"}, c.stored, kSaving}))
            << c.source.Genre;
    }
}

TEST(WriteWindowsMediaTags, SourceTagsAloneMakeTheFileSaved) {
    RecordingEditor editor;
    WriteWindowsMediaTags("/out/a.wma", kNoTags, editor,
                          [] { return std::optional(Source("", 7, "")); });
    EXPECT_EQ(editor.calls, Concat({kOpening, {"WM/TrackNumber=7"}, kSaving}));
}

TEST(WriteWindowsMediaTags, CutsLongSourceTextLikeTheJobsOwn) {
    RecordingEditor editor;
    WriteWindowsMediaTags("/out/a.wma", kNoTags, editor,
                          [] { return std::optional(Source("", 0, std::string(400, 'c'))); });
    ASSERT_EQ(editor.calls.size(), kOpening.size() + 1 + kSaving.size());
    EXPECT_EQ(editor.calls[kOpening.size()], "Description=" + std::string(250, 'c'));
}

TEST(WriteWindowsMediaTags, AnUnrecognisedSourceAddsNothing) {
    RecordingEditor editor;
    WriteWindowsMediaTags("/out/a.wma", MakeCurrentJobTags("", "", "", "", "2000"), editor,
                          [] { return std::optional<SourceTags>(); });
    EXPECT_EQ(editor.calls, Concat({kOpening, {"WM/Year=2000"}, kSaving}));
}

TEST(WriteWindowsMediaTags, ASourceErrorArrivesAfterTheEditIsSavedAndReleased) {
    RecordingEditor editor;
    const auto failingSource = []() -> std::optional<SourceTags> {
        throw FileOpenError("/in/gone.mp3");
    };
    EXPECT_THROW(WriteWindowsMediaTags("/out/a.wma", MakeCurrentJobTags("T", "", "", "", ""),
                                       editor, failingSource),
                 FileOpenError);
    EXPECT_EQ(editor.calls, Concat({kOpening, {"Title=T"}, kSaving}));

    // With nothing stored yet the file is closed unsaved instead.
    editor.calls.clear();
    EXPECT_THROW(WriteWindowsMediaTags("/out/a.wma", kNoTags, editor, failingSource),
                 FileOpenError);
    EXPECT_EQ(editor.calls, Concat({kOpening, kClosing}));
}

TEST(WriteWindowsMediaTags, AFailedSaveIsReturnedEvenOverASourceError) {
    RecordingEditor editor;
    editor.flushAnswer = {false, "No space left on device"};
    EXPECT_EQ(WriteJobTags("/out/a.wma", MakeCurrentJobTags("T", "", "", "", ""), editor), editor.flushAnswer);

    const auto failingSource = []() -> std::optional<SourceTags> { throw FileOpenError("/in/gone.mp3"); };
    SaveResult result;
    EXPECT_NO_THROW(result = WriteWindowsMediaTags("/out/a.wma", MakeCurrentJobTags("T", "", "", "", ""), editor,
                                                   failingSource));
    EXPECT_EQ(result, editor.flushAnswer);
}

TEST(IsMp3Source, ComparesTheExtensionInAnyCase) {
    EXPECT_TRUE(IsMp3Source("/music/song.mp3"));
    EXPECT_TRUE(IsMp3Source("/music/SONG.MP3"));
    EXPECT_TRUE(IsMp3Source("/music/song.Mp3"));
    EXPECT_TRUE(IsMp3Source("/music/.mp3"));
    EXPECT_FALSE(IsMp3Source("/music/song.mp3.wav"));
    EXPECT_FALSE(IsMp3Source("/music/mp3"));
    EXPECT_FALSE(IsMp3Source("/music.mp3/song"));
    EXPECT_FALSE(IsMp3Source("/music/song.mp4"));
}

}  // namespace
}  // namespace qorvane
