#include "encode/media_inputs.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/add_job.h"
#include "app/refused_files.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::ReadFileBytes;

TEST(MediaInputs, EachExtensionHasItsKindInAnyLetterCase) {
    struct Case {
        const char* file;
        MediaKind kind;
        bool byContent;
    };
    for (const Case& c : {Case{"/m/a.WAV", MediaKind::Audio, false}, Case{"/m/b.Flac", MediaKind::Audio, false},
                          Case{"/m/c.opus", MediaKind::Audio, false}, Case{"/m/d.m4a", MediaKind::Audio, true},
                          Case{"/m/e.MKA", MediaKind::Audio, true}, Case{"/m/f.wma", MediaKind::Audio, true},
                          Case{"/m/g.vob", MediaKind::Video, false}, Case{"/m/h.M2TS", MediaKind::Video, false},
                          Case{"/m/i.mp4", MediaKind::Video, true}, Case{"/m/j.WebM", MediaKind::Video, true},
                          Case{"/m/k.asf", MediaKind::Video, true}, Case{"/m/x.y.ogv", MediaKind::Video, true}}) {
        SCOPED_TRACE(c.file);
        const MediaInputType* type = FindMediaInputType(c.file);
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->kind, c.kind);
        EXPECT_EQ(type->byContent, c.byContent);
        EXPECT_TRUE(IsAcceptedMediaFile(c.file));
    }
    for (const char* path : {"/m/b.txt", "/m/a.jpg", "/m/mp3", "/m.mp3/file", "-debug", "/m/a.mp3 ", "/m/a.wmx"}) {
        EXPECT_EQ(FindMediaInputType(path), nullptr) << path;
        EXPECT_FALSE(IsAcceptedMediaFile(path)) << path;
    }
}

// The build writes both from the table; they must say what the program does.
TEST(MediaInputs, DesktopEntryAndMetainfoNameEveryMimeTypeOfTheTable) {
    std::string expected;
    for (const std::string& type : MediaInputMimeTypes()) expected += type + ";";
    const std::string desktop = ReadFileBytes(QORVANE_BUILT_DESKTOP_ENTRY);
    EXPECT_NE(desktop.find("\nMimeType=" + expected + "\n"), std::string::npos) << desktop;

    const std::string metainfo = ReadFileBytes(QORVANE_BUILT_METAINFO);
    std::string listed;
    for (std::size_t at = metainfo.find("<mediatype>"); at != std::string::npos;
         at = metainfo.find("<mediatype>", at + 1)) {
        const std::size_t begin = at + 11;
        listed += metainfo.substr(begin, metainfo.find("</mediatype>", begin) - begin) + ";";
    }
    EXPECT_EQ(listed, expected);
}

TEST(RefusedFiles, NamesUpToTwentyAndCountsTheRest) {
    EXPECT_EQ(FormatRefusedFiles({"/m/Music", "/m/notes.txt"}),
              "次のファイルは変換できない種類のため追加しませんでした (2 件)\n\nMusic\nnotes.txt");
    EXPECT_EQ(FormatRefusedFiles({}), "");
    // Folders that could not be read follow, by their whole path.
    EXPECT_EQ(FormatRefusedInputs({"/m/notes.txt"}, {"/m/in/locked"}),
              "次のファイルは変換できない種類のため追加しませんでした (1 件)\n\nnotes.txt\n\n"
              "次のフォルダは読めないため、その中のファイルを追加しませんでした (1 件)\n\n/m/in/locked");
    EXPECT_EQ(FormatRefusedInputs({}, {"/x"}), "次のフォルダは読めないため、その中のファイルを追加しませんでした (1 件)\n\n/x");

    std::vector<std::string> many;
    for (int i = 1; i <= 23; ++i) many.push_back("/d/" + std::to_string(i) + ".doc");
    const std::string text = FormatRefusedFiles(many);
    EXPECT_TRUE(text.starts_with("次のファイルは変換できない種類のため追加しませんでした (23 件)\n\n1.doc\n")) << text;
    EXPECT_TRUE(text.ends_with("\n20.doc\nほか 3 件")) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 22);
}

}  // namespace
}  // namespace qorvane
