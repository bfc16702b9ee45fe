#pragma once
// The one-line input box on the screen, with the buttons "OK" and
// "キャンセル", over the window that is modal at the time (the desktop when
// none is).

#include "platform/input_box.h"

namespace qorvane {

class QtInputBox final : public InputBox {
public:
    std::optional<std::string> ask(const std::string& caption, const std::string& prompt,
                                   const std::string& text) override;
};

}  // namespace qorvane
