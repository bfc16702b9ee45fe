#pragma once
// What the desktop shows around a batch: the computer is kept awake while it
// runs, the launcher icon shows how far it has come and how many jobs are
// left, and a notice says when it has ended (not after an abort). Each
// service is optional; the command line uses the lock alone.

#include <functional>
#include <optional>
#include <string>

#include "encode/batch_listener.h"
#include "platform/desktop_notifier.h"
#include "platform/launcher_progress.h"
#include "platform/sleep_inhibitor.h"
#include "platform/ui_text.h"

namespace qorvane {

inline constexpr const char* kBatchEndedSummary = QORVANE_UI_TEXT("変換が終わりました");
inline constexpr const char* kOpenFolderAction = QORVANE_UI_TEXT("フォルダを開く");

// "12 件完了" or, with failures, "12 件完了、1 件失敗".
std::string BatchCountsText(const BatchSummary& summary);

class BatchDesktop final : public BatchListener {
public:
    struct Services {
        SleepInhibitor* sleep = nullptr;
        LauncherProgress* launcher = nullptr;
        DesktopNotifier* notifier = nullptr;
        // Whether the notice is wanted, as the setting stands at the end.
        std::function<bool()> notifyAtEnd;
    };

    explicit BatchDesktop(Services services) : services_(std::move(services)) {}

    void batchBegun(int jobs) override;
    void batchProgress(std::optional<double> done, int jobsLeft) override;
    void batchEnded(const BatchSummary& summary) override;
    void batchStopped() override;

private:
    void over();

    Services services_;
    // What the launcher shows now: it is told again only when this changes
    // (by a whole percent or a job), not at every look.
    std::optional<int> shownPercent_;
    int shownCount_ = -1;
};

}  // namespace qorvane
