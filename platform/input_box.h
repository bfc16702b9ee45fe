#pragma once
// A one-line text prompt with the buttons "OK" and "キャンセル". Behind an
// interface so that tests can answer it.

#include <optional>
#include <string>

namespace qorvane {

class InputBox {
public:
    virtual ~InputBox() = default;
    // The text confirmed with OK, or nothing when cancelled.
    virtual std::optional<std::string> ask(const std::string& caption, const std::string& prompt,
                                           const std::string& text) = 0;
};

}  // namespace qorvane
