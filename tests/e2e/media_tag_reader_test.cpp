// Tags of every tagged format, made by ffmpeg with -metadata and a cover
// picture, read back through FileMediaTagReader.
#include <gtest/gtest.h>

#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/xiphcomment.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_open_error.h"
#include "platform/posix/cp932_code_page.h"
#include "platform/posix/media_tag_reader.h"
#include "support/media_tools.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RunFfmpeg;

class MediaTagReaderTest : public ::testing::Test {
protected:
    MediaTagReaderTest() {
        RunFfmpeg({"-f", "lavfi", "-i", "color=red:s=16x16:d=0.04", "-frames:v", "1", "cover.png"}, dir_.path());
        cover_ = ReadFileBytes(dir_ / "cover.png");
    }

    // A short tone in `name`, encoded with `codec`, tagged with kMetadata and
    // whatever `extra` adds; the cover goes in as an attached picture unless
    // the container takes none from ffmpeg.
    fs::path make(const std::string& name, std::vector<std::string> codec, bool attachCover,
                  const std::vector<std::string>& extra = {}) const {
        std::vector<std::string> args = {"-f", "lavfi", "-i", "sine=d=0.2"};
        if (attachCover) {
            args.insert(args.end(), {"-i", "cover.png", "-map", "0:a", "-map", "1:v", "-c:v", "copy",
                                     "-disposition:v", "attached_pic", "-metadata:s:v", "comment=Cover (front)"});
        }
        args.insert(args.end(), codec.begin(), codec.end());
        args.insert(args.end(), {"-metadata", "title=T\xC3\xAFtle \xE6\x97\xA5\xE6\x9C\xAC", "-metadata",
                                 "artist=Artist", "-metadata", "album=Album", "-metadata", "date=2004-05-06",
                                 "-metadata", "copyright=(C) Label", "-metadata", "genre=Jazz", "-metadata",
                                 "track=3/12", "-metadata", "comment=Note", "-metadata", "album_artist=Various",
                                 "-metadata", "disc=1/2", "-metadata", "composer=Bach"});
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(name);
        RunFfmpeg(args, dir_.path());
        return dir_ / name;
    }

    // Everything kMetadata and the cover put in.
    SourceTags expected() const {
        return {"T\xC3\xAFtle \xE6\x97\xA5\xE6\x9C\xAC", "Artist", "Album", "2004", "(C) Label", "Jazz", 3,
                "Note", "Various", "1/2", "Bach", {SourcePicture{3, "image/png", "", cover_}}};
    }

    // The cover as an Ogg comment: a FLAC picture block in base64.
    std::vector<std::string> oggCover() const {
        TagLib::FLAC::Picture picture;
        picture.setType(TagLib::FLAC::Picture::FrontCover);
        picture.setMimeType("image/png");
        picture.setData(TagLib::ByteVector(cover_.data(), static_cast<unsigned>(cover_.size())));
        const TagLib::ByteVector block = picture.render().toBase64();
        return {"-metadata", "METADATA_BLOCK_PICTURE=" + std::string(block.data(), block.size())};
    }

    std::optional<SourceTags> read(const fs::path& file) const { return reader_.read(file); }

    testing::TempDir dir_;
    std::string cover_;
    Cp932CodePage cp932_;

private:
    FileMediaTagReader reader_{cp932_};
};

TEST_F(MediaTagReaderTest, FlacM4aAndOggCarryEveryField) {
    EXPECT_EQ(read(make("a.flac", {"-c:a", "flac"}, true)), expected());
    EXPECT_EQ(read(make("a.m4a", {"-c:a", "aac"}, true)), expected());
    EXPECT_EQ(read(make("a.ogg", {"-c:a", "libvorbis"}, false, oggCover())), expected());
    EXPECT_EQ(read(make("a.opus", {"-c:a", "libopus"}, false, oggCover())), expected());
}

TEST_F(MediaTagReaderTest, WmaAttributesAndPicture) {
    const fs::path wma = make("a.wma", {"-c:a", "wmav2"}, false);
    {
        TagLib::ASF::File file(wma.c_str(), false);
        const TagLib::ASF::Picture picture = [this] {
            TagLib::ASF::Picture p;
            p.setType(TagLib::ASF::Picture::FrontCover);
            p.setMimeType("image/png");
            p.setPicture(TagLib::ByteVector(cover_.data(), static_cast<unsigned>(cover_.size())));
            return p;
        }();
        file.tag()->addAttribute("WM/Picture", TagLib::ASF::Attribute(picture));
        ASSERT_TRUE(file.save());
    }
    EXPECT_EQ(read(wma), expected());
}

TEST_F(MediaTagReaderTest, WavWithoutId3FallsBackToRiffInfo) {
    SourceTags info = expected();
    info.AlbumArtist = info.Disc = info.Composer = "";  // INFO has no place for them
    info.Pictures.clear();
    EXPECT_EQ(read(make("a.wav", {"-c:a", "pcm_s16le"}, false)), info);

    // 8-bit INFO text that is not UTF-8 is read as the ID3 reader reads it.
    const fs::path cp932 = dir_ / "b.wav";
    RunFfmpeg({"-f", "lavfi", "-i", "sine=d=0.2", "-metadata", "title=\x93\xFA\x96\x7B", cp932.string()},
              dir_.path());
    ASSERT_TRUE(read(cp932));
    EXPECT_EQ(read(cp932)->Title, "\xE6\x97\xA5\xE6\x9C\xAC");

    RunFfmpeg({"-f", "lavfi", "-i", "sine=d=0.2", "-map_metadata", "-1", "-fflags", "+bitexact", "c.wav"},
              dir_.path());
    EXPECT_EQ(read(dir_ / "c.wav"), std::nullopt);
}

TEST_F(MediaTagReaderTest, Mp3ThroughTheId3Reader) {
    // ffmpeg writes ID3v2.4 with the date as "TDRC", and its comment as a
    // "TXXX" frame, which the ID3 reader does not read.
    SourceTags id3 = expected();
    id3.Comment = "";
    EXPECT_EQ(read(make("a.mp3", {"-c:a", "libmp3lame"}, true)), id3);

    // 11.025 kHz is MPEG 2.5.
    const auto low = read(make("low.mp3", {"-c:a", "libmp3lame", "-ar", "11025"}, false));
    ASSERT_TRUE(low);
    EXPECT_EQ(low->Title, id3.Title);
    EXPECT_EQ(low->Year, "2004");
}

TEST_F(MediaTagReaderTest, BrokenAndUnknownFiles) {
    const std::string flac = ReadFileBytes(make("a.flac", {"-c:a", "flac"}, true));
    for (std::size_t size = 0; size < flac.size(); size += 97) {
        const fs::path cut = dir_.write("cut.flac", std::string_view(flac).substr(0, size));
        const auto tags = read(cut);
        if (tags) {
            for (const SourcePicture& picture : tags->Pictures) EXPECT_EQ(picture.data, cover_);
        }
    }
    EXPECT_EQ(read(dir_.write("a.mka", flac)), std::nullopt);  // TagLib 1.13 reads no Matroska
    EXPECT_THROW(read(dir_ / "missing.flac"), FileOpenError);
    fs::create_directory(dir_ / "folder.m4a");
    EXPECT_THROW(read(dir_ / "folder.m4a"), FileOpenError);
}

TEST_F(MediaTagReaderTest, SeveralValuesAreJoinedAndPicturesCanBeSkipped) {
    const fs::path flac = make("a.flac", {"-c:a", "flac"}, true);
    {
        // ffmpeg writes one value per key; TagLib adds a second one.
        TagLib::FLAC::File file(flac.c_str(), false);
        file.xiphComment(true)->addField("ARTIST", "Second", false);
        ASSERT_TRUE(file.save());
    }
    EXPECT_EQ(read(flac)->Artist, "Artist; Second");

    const FileMediaTagReader noPictures(cp932_, FileMediaTagReader::Pictures::Skip);
    for (const fs::path& file : {flac, make("a.mp3", {"-c:a", "libmp3lame"}, true)}) {
        const auto tags = noPictures.read(file);
        ASSERT_TRUE(tags);
        EXPECT_TRUE(tags->Pictures.empty());
        EXPECT_EQ(tags->Composer, "Bach");
    }
}

}  // namespace
}  // namespace qorvane
