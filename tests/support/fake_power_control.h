#pragma once
// A power seam for tests: counts the requests and answers as told. Nothing
// is ever shut down.

#include <atomic>

#include "platform/power_control.h"

namespace qorvane::testing {

class FakePowerControl final : public PowerControl {
public:
    explicit FakePowerControl(bool answer = true) : answer_(answer) {}

    bool powerOff() override {
        ++calls_;
        return answer_;
    }

    int calls() const { return calls_; }

private:
    bool answer_;
    std::atomic<int> calls_{0};
};

}  // namespace qorvane::testing
