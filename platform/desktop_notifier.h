#pragma once
// A notice on the desktop (a pop-up the desktop keeps in its list), for
// when the window may not be in view.

#include <filesystem>
#include <string>

namespace qorvane {

struct DesktopNotice {
    std::string summary;
    std::string body;
    // A button on the notice that opens `folder` in the file manager; empty
    // text: no button.
    std::string actionText;
    std::filesystem::path folder;
};

class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    // Shows the notice and returns at once; without a notification service
    // nothing happens and nothing is reported.
    virtual void notify(const DesktopNotice& notice) = 0;
};

}  // namespace qorvane
