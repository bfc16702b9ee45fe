#pragma once
// Message boxes shown on the screen: warning icon, OK (or Yes and No)
// buttons, modal for the whole program. A box belongs to the window the user
// sees on top: a window that stays on top of the others (the progress
// dialog) while it is shown, else the modal dialog that raises the box, else
// the desktop (no owner window).

#include "platform/message_box.h"

namespace qorvane {

class QtMessageBoxes final : public MessageBoxes {
public:
    void warning(const std::string& caption, const std::string& text) override;
    void warningWithDetails(const std::string& caption, const std::string& text, const std::string& detailsButton,
                            const std::function<void()>& showDetails) override;
    void notice(const std::string& caption, const std::string& text) override;
    bool question(const std::string& caption, const std::string& text) override;
};

}  // namespace qorvane
