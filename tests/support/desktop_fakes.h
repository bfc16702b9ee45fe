#pragma once
// Stand-ins for the desktop around a batch: the lock against sleep, the
// launcher icon and the notices. Each records what it was asked to do.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop_notifier.h"
#include "platform/launcher_progress.h"
#include "platform/sleep_inhibitor.h"

namespace qorvane::testing {

struct FakeSleepInhibitor : SleepInhibitor {
    int holds = 0;  // times the lock was taken
    bool held = false;
    void hold() override {
        if (!held) ++holds;
        held = true;
    }
    void release() override { held = false; }
    bool holding() const override { return held; }
};

// "42% 3" (a percentage and a count), "- 3" (no percentage) or "clear".
struct FakeLauncherProgress : LauncherProgress {
    std::vector<std::string> shown;
    void show(std::optional<double> done, int count) override {
        shown.push_back((done ? std::to_string(static_cast<int>(*done * 100 + 0.5)) + "%" : std::string("-")) + " " +
                        std::to_string(count));
    }
    void clear() override { shown.push_back("clear"); }
};

struct FakeNotifier : DesktopNotifier {
    std::vector<DesktopNotice> notices;
    std::function<void()> onNotify;  // optional: sees the moment of the notice
    void notify(const DesktopNotice& notice) override {
        notices.push_back(notice);
        if (onNotify) onNotify();
    }
};

}  // namespace qorvane::testing
