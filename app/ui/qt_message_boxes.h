#pragma once
// Message boxes shown on the screen: warning icon, OK (or Yes and No)
// buttons, owned by the modal dialog that raises them or else by the desktop
// (no owner window), modal for the whole program.

#include "platform/message_box.h"

namespace qorvane {

class QtMessageBoxes final : public MessageBoxes {
public:
    void warning(const std::string& caption, const std::string& text) override;
    void warningWithDetails(const std::string& caption, const std::string& text, const std::string& detailsButton,
                            const std::function<void()>& showDetails) override;
    bool question(const std::string& caption, const std::string& text) override;
};

}  // namespace qorvane
