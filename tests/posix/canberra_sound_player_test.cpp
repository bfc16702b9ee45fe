#include "platform/posix/canberra_sound_player.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace qorvane {
namespace {

using Attempt = std::pair<SoundSource, std::string>;

// Answers each attempt from a script and records what was asked.
struct ScriptedPlayer {
    std::vector<SoundOutcome> answers;
    std::vector<Attempt> asked;

    std::vector<Attempt> run(const std::string& sound) {
        PlayWithFallback(sound, [this](SoundSource source, const std::string& name) {
            asked.emplace_back(source, name);
            return asked.size() <= answers.size() ? answers[asked.size() - 1] : SoundOutcome::NotFound;
        });
        return asked;
    }
};

const auto Event = SoundSource::ThemeEvent;
const auto File = SoundSource::File;

TEST(SoundFallback, ThemeEventFirst) {
    ScriptedPlayer player{{SoundOutcome::Played}, {}};
    EXPECT_EQ(player.run("complete"), (std::vector<Attempt>{{Event, "complete"}}));
}

TEST(SoundFallback, ThenAnExistingFileThenTheDefault) {
    testing::TempDir dir;
    const auto file = dir.write("ding.wav", "RIFF").string();

    ScriptedPlayer found{{SoundOutcome::NotFound, SoundOutcome::Played}, {}};
    EXPECT_EQ(found.run(file), (std::vector<Attempt>{{Event, file}, {File, file}}));

    ScriptedPlayer unreadable{{SoundOutcome::NotFound, SoundOutcome::NotFound}, {}};
    EXPECT_EQ(unreadable.run(file),
              (std::vector<Attempt>{{Event, file}, {File, file}, {Event, kDefaultSoundEvent}}));

    const auto missing = (dir / "missing.wav").string();
    ScriptedPlayer none{{}, {}};
    EXPECT_EQ(none.run(missing), (std::vector<Attempt>{{Event, missing}, {Event, kDefaultSoundEvent}}));

    // A directory is no sound file.
    ScriptedPlayer folder{{}, {}};
    EXPECT_EQ(folder.run(dir.path().string()),
              (std::vector<Attempt>{{Event, dir.path().string()}, {Event, kDefaultSoundEvent}}));
}

TEST(SoundFallback, NoDeviceMeansNoFurtherTries) {
    testing::TempDir dir;
    const auto file = dir.write("ding.wav", "RIFF").string();
    ScriptedPlayer player{{SoundOutcome::Failed}, {}};
    EXPECT_EQ(player.run(file), (std::vector<Attempt>{{Event, file}}));
}

TEST(SoundFallback, EmptyTextPlaysTheDefault) {
    ScriptedPlayer player{{}, {}};
    EXPECT_EQ(player.run(""), (std::vector<Attempt>{{Event, kDefaultSoundEvent}}));
}

TEST(CanberraSoundPlayer, UnknownSoundsNeitherThrowNorHang) {
    testing::TempDir dir;
    const auto notSound = dir.write("not-a-sound.wav", "this is text").string();
    CanberraSoundPlayer player;
    for (int i = 0; i < 20; ++i) {  // more than the queue holds
        EXPECT_NO_THROW(player.play("qorvane-no-such-event"));
    }
    EXPECT_NO_THROW(player.play((dir / "missing.wav").string()));
    EXPECT_NO_THROW(player.play(notSound));
    EXPECT_NO_THROW(player.play(""));
}  // the destructor waits for the player's thread: a hang shows as a timeout

}  // namespace
}  // namespace qorvane
