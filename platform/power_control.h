#pragma once
// Shutting the computer down at the end of a batch.

namespace qorvane {

class PowerControl {
public:
    virtual ~PowerControl() = default;
    // Asks the system to power off. False when it refused or could not be
    // asked; nothing is reported to the user either way.
    virtual bool powerOff() = 0;
};

}  // namespace qorvane
