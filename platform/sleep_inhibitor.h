#pragma once
// Keeps the computer from going to sleep while a batch runs.

namespace qorvane {

class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    // Takes the lock unless it is held already. Without the service that
    // grants it, nothing happens and nothing is reported.
    virtual void hold() = 0;
    // Gives it back; nothing when it is not held.
    virtual void release() = 0;
    virtual bool holding() const = 0;
};

}  // namespace qorvane
