// What a container that may hold sound or pictures becomes, read from files
// ffmpeg makes: a moving picture makes it video, a cover picture does not.

#include "encode/container_kind.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encode/media_inputs.h"
#include "support/media_tools.h"
#include "support/temp_dir.h"

namespace qorvane::testing {
namespace {

TEST(ContainerKind, TrackListsDecideAndACoverPictureIsNoVideo) {
    const TempDir dir;
    const std::vector<std::string> sound = {"-f", "lavfi", "-i", "sine=duration=1"};
    const std::vector<std::string> picture = {"-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=1"};
    RunFfmpeg({"-f", "lavfi", "-i", "color=red:size=32x32", "-frames:v", "1", "cover.png"}, dir.path());
    const auto make = [&](const std::string& name, std::vector<std::string> inputs, const std::vector<std::string>& codecs) {
        inputs.insert(inputs.end(), codecs.begin(), codecs.end());
        inputs.push_back(name);
        RunFfmpeg(inputs, dir.path());
        return dir / name;
    };
    std::vector<std::string> withCover = sound;
    withCover.insert(withCover.end(), {"-i", "cover.png", "-map", "0", "-map", "1"});
    std::vector<std::string> both = picture;
    both.insert(both.end(), sound.begin(), sound.end());
    const std::vector<std::string> asCover = {"-c:v", "mjpeg", "-disposition:v", "attached_pic"};
    const auto plus = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Case {
        std::filesystem::path file;
        MediaKind kind;
    };
    const std::vector<Case> cases = {
        {make("cover.m4a", withCover, plus({"-c:a", "aac"}, asCover)), MediaKind::Audio},
        {make("cover.mka", withCover, plus({"-c:a", "flac"}, asCover)), MediaKind::Audio},
        {make("cover.wma", withCover, plus({"-c:a", "wmav2"}, asCover)), MediaKind::Audio},
        {make("plain.wma", sound, {"-c:a", "wmav2"}), MediaKind::Audio},
        {make("vorbis.ogg", sound, {"-c:a", "libvorbis"}), MediaKind::Audio},
        {make("clip.mp4", both, {"-c:v", "mpeg4", "-c:a", "aac"}), MediaKind::Video},
        {make("clip.mkv", both, {"-c:v", "mpeg4", "-c:a", "libvorbis"}), MediaKind::Video},
        {make("silent.webm", picture, {"-c:v", "libvpx"}), MediaKind::Video},
        {make("theora.ogg", both, {"-c:v", "libtheora", "-c:a", "libvorbis"}), MediaKind::Video},
        {make("clip.wmv", both, {"-c:v", "wmv2", "-c:a", "wmav2"}), MediaKind::Video},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.filename().string());
        EXPECT_EQ(ReadContainerKind(FileBytes(c.file)), c.kind);
        EXPECT_EQ(ClassifyMediaFile(c.file), c.kind);
    }
    // Under another name the content still decides; what cannot be read
    // takes its extension's kind.
    std::filesystem::copy_file(dir / "theora.ogg", dir / "theora.oga");
    EXPECT_EQ(ClassifyMediaFile(dir / "theora.oga"), MediaKind::Video);
    EXPECT_EQ(ClassifyMediaFile(dir.write("broken.mkv", "not a container")), MediaKind::Video);
    EXPECT_EQ(ClassifyMediaFile(dir.write("broken.m4a", "")), MediaKind::Audio);
    EXPECT_EQ(ClassifyMediaFile(dir / "vorbis.txt"), std::nullopt);
}

}  // namespace
}  // namespace qorvane::testing
