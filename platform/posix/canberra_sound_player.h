#pragma once
// Completion sounds through libcanberra and the freedesktop sound theme. The
// text is tried as a theme event id (the counterpart of a system sound
// alias), then as a sound file, else the default sound plays. The work is
// done on a thread of the player's own, so play() never waits for a sound
// server or a device; with none to be had nothing plays and nothing fails.

#include <functional>
#include <memory>
#include <string>

#include "platform/sound_player.h"

namespace qorvane {

// The theme event played when the text names nothing that can be found.
inline constexpr const char* kDefaultSoundEvent = "bell";

enum class SoundSource { ThemeEvent, File };
enum class SoundOutcome {
    Played,
    NotFound,  // no such event or an unreadable file: the next choice is tried
    Failed,    // no device, sounds disabled...: nothing else is tried
};

// The lookup order on its own: the text as an event id, then as a file when
// one exists by that name, then kDefaultSoundEvent.
void PlayWithFallback(const std::string& sound,
                      const std::function<SoundOutcome(SoundSource, const std::string&)>& attempt);

class CanberraSoundPlayer final : public SoundPlayer {
public:
    CanberraSoundPlayer();
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    void play(const std::string& sound) override;

private:
    class Worker;
    std::unique_ptr<Worker> worker_;
};

}  // namespace qorvane
