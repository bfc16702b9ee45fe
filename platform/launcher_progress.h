#pragma once
// The progress of a batch on the program's launcher icon (a dock or task
// bar). Silent where the desktop has nothing that shows it.

#include <optional>

namespace qorvane {

class LauncherProgress {
public:
    virtual ~LauncherProgress() = default;
    // `done`: how much of the batch is done, 0..1, none when not known;
    // `count`: the number shown on the icon.
    virtual void show(std::optional<double> done, int count) = 0;
    // Takes both away.
    virtual void clear() = 0;
};

}  // namespace qorvane
