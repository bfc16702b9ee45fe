#pragma once
// Completion sounds. The text names a sound-theme event (the alias) or a
// sound file; when neither is found the default sound plays.

#include <string>

namespace qorvane {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the sound and returns at once; never fails the caller.
    virtual void play(const std::string& sound) = 0;
};

}  // namespace qorvane
