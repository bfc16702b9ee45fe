#include "encode/batch_desktop.h"

#include <algorithm>
#include <cmath>

namespace qorvane {

namespace {

constexpr const char* kDoneCountText = QORVANE_UI_TEXT("%1 件完了");
constexpr const char* kDoneAndFailedCountText = QORVANE_UI_TEXT("%1 件完了、%2 件失敗");

}  // namespace

std::string BatchCountsText(const BatchSummary& summary) {
    const std::string done = std::to_string(summary.done);
    if (summary.failed == 0) return UiText(kDoneCountText, {done});
    return UiText(kDoneAndFailedCountText, {done, std::to_string(summary.failed)});
}

void BatchDesktop::batchBegun(int jobs) {
    if (services_.sleep) services_.sleep->hold();
    shownPercent_.reset();
    shownCount_ = -1;
    batchProgress(0.0, jobs);
}

void BatchDesktop::batchProgress(std::optional<double> done, int jobsLeft) {
    if (!services_.launcher) return;
    std::optional<int> percent;
    if (done) percent = static_cast<int>(std::floor(std::clamp(*done, 0.0, 1.0) * 100));
    // An encoder that stops telling keeps the last figure shown.
    if (!percent) percent = shownPercent_;
    if (percent == shownPercent_ && jobsLeft == shownCount_) return;
    shownPercent_ = percent;
    shownCount_ = jobsLeft;
    services_.launcher->show(percent ? std::optional<double>(*percent / 100.0) : std::nullopt, jobsLeft);
}

void BatchDesktop::batchEnded(const BatchSummary& summary) {
    // The lock goes first: a shutdown asked for at the end must not meet it.
    over();
    if (!services_.notifier || !services_.notifyAtEnd || !services_.notifyAtEnd()) return;
    DesktopNotice notice;
    notice.summary = UiText(kBatchEndedSummary);
    notice.body = BatchCountsText(summary);
    if (!summary.lastOutputFolder.empty()) {
        notice.actionText = UiText(kOpenFolderAction);
        notice.folder = summary.lastOutputFolder;
    }
    services_.notifier->notify(notice);
}

void BatchDesktop::batchStopped() { over(); }

void BatchDesktop::over() {
    if (services_.sleep) services_.sleep->release();
    if (services_.launcher) services_.launcher->clear();
    shownPercent_.reset();
    shownCount_ = -1;
}

}  // namespace qorvane
