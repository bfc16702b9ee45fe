#pragma once
// An input box that a test answers in advance and that remembers what it
// was asked.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/input_box.h"

namespace qorvane::testing {

class FakeInputBox final : public InputBox {
public:
    std::optional<std::string> ask(const std::string& caption, const std::string& prompt,
                                   const std::string& text) override {
        asked.push_back(caption + ": " + prompt + " [" + text + "]");
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<std::optional<std::string>> answers;  // nothing: cancelled
    std::vector<std::string> asked;
};

}  // namespace qorvane::testing
