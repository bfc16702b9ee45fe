#include "encode/ui/batch_controller.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPushButton>
#include <QThread>
#include <exception>

#include "controls/window_frame.h"
#include "base/window_placement.h"
#include "encode/ui/encoder_output_window.h"
#include "encode/ui/progress_dialog.h"

namespace qorvane {

namespace {

constexpr const char* kCaption = "qorv";
// Apart from the progress dialog, and no smaller beside it than this.
constexpr int kOutputGap = 8;
constexpr WindowBounds kOutputMinimum{0, 0, 320, 200};
// How often a running batch is looked at: often enough to look live, seldom
// enough to cost nothing.
constexpr int kLiveRefreshMs = 250;

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

void QtMainThreadInvoker::invoke(const std::function<void()>& step) {
    if (closed_) return;
    if (QThread::currentThread() == context_->thread()) {
        step();
        return;
    }
    // Qt does not carry exceptions across threads: take one over by hand.
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        context_,
        [this, &step, &error] {
            if (closed_) return;
            try {
                step();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error) std::rethrow_exception(error);
}

BatchController::BatchController(QWidget& mainWindow, TProDlg& dialog, Services services, EncoderLocation encoder,
                                 std::filesystem::path profileDir)
    : QObject(nullptr),
      mainWindow_(mainWindow),
      dialog_(dialog),
      services_(std::move(services)),
      runner_({services_.jobs, *this, *this, services_.tagWriter, services_.sounds}, std::move(encoder),
              std::move(profileDir)),
      invoker_(this) {
    connect(dialog_.OKBtn, &QPushButton::clicked, this, &BatchController::OKBtnClick);
    connect(dialog_.btnPause, &QPushButton::clicked, this, &BatchController::pauseClick);
    connect(dialog_.btnStopAfter, &QPushButton::clicked, this, &BatchController::stopAfterClick);
    connect(&dialog_, &TProDlg::abortAsked, this, &BatchController::askAbort);
    connect(dialog_.btnOutput, &QPushButton::clicked, this, [this] { showOutput(); });
    liveTimer_.setInterval(kLiveRefreshMs);
    connect(&liveTimer_, &QTimer::timeout, this, &BatchController::refreshLive);
    thread_ = std::make_unique<EncodeThread>(runner_, invoker_, services_.launcher, services_.outputFolders,
                                             services_.logFile);
    thread_->setLiveStatus(&live_);
    thread_->start();
}

BatchController::~BatchController() {
    thread_->requestTermination();
    invoker_.close();
    // A step may be on its way to this thread: keep handling events until
    // the loop has seen the request.
    while (!thread_->finished()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    thread_->join();
    delete output_.data();  // it reads the status, which goes with this
}

void BatchController::tbConvClick() {
    if (converting() || services_.jobs.count() == 0) return;
    if (startCheck_ && !startCheck_()) return;
    if (!runner_.beginBatch()) return;
    batchStartSerial_ = live_.snapshot().serial;
    if (!liveTimer_.isActive()) idleTitle_ = mainWindow_.windowTitle();
    dialog_.clearLive();
    dialog_.setPaused(false);
    dialog_.setStopAfterAsked(false);
    placeDialog();
    dialog_.show();
    thread_->postStart();
    liveTimer_.start();
}

void BatchController::setBatchListener(BatchListener* listener) {
    listener_ = listener;
    runner_.setListener(listener);
}

void BatchController::refreshLive() {
    const LiveSnapshot live = live_.snapshot();
    const bool begun = live.serial > batchStartSerial_;  // a run of this batch has started
    if (begun) dialog_.showLive(live);
    if (listener_ && runner_.state().running) {
        std::optional<double> done;
        if (begun && live.batchPercent) done = *live.batchPercent / 100;
        listener_->batchProgress(done, runner_.jobsLeft());
    }
    if (thread_->busy()) {
        if (begun && live.batchPercent) {
            mainWindow_.setWindowTitle(QStringLiteral("%1% - ").arg(static_cast<int>(*live.batchPercent)) +
                                       idleTitle_);
        }
    } else {
        liveTimer_.stop();
        mainWindow_.setWindowTitle(idleTitle_);
    }
    if (output_ && output_->isVisible()) output_->refresh();
}

void BatchController::showOutput(bool sessionLog) {
    if (!output_) {
        output_ = new EncoderOutputWindow(live_, QString::fromStdString(services_.logFile.string()), &mainWindow_);
        placeOutputWindow();
    }
    output_->refresh();
    if (sessionLog) {
        output_->showSessionLog();
    } else {
        output_->showRunOutput();
    }
    output_->show();
    output_->raise();
    output_->activateWindow();
}

// The encode thread continues paused runs to end them.
void BatchController::OKBtnClick() { runner_.requestAbort(); }

void BatchController::pauseClick() {
    if (!converting()) return;
    const bool pause = !thread_->paused();
    if (pause) {
        thread_->pauseRuns();
    } else {
        thread_->resumeRuns();
    }
    dialog_.setPaused(pause);
    refreshLive();  // the times say so at once
}

void BatchController::stopAfterClick() {
    if (!converting()) return;
    runner_.requestStopAfterRunsGoing();
    dialog_.setStopAfterAsked(true);
}

void BatchController::askAbort() {
    // The batch may have ended while the question was open.
    if (services_.messages.question(kCaption, tr("変換を中断しますか?").toStdString()) && converting()) OKBtnClick();
}

void BatchController::abortBatch() {
    if (converting()) runner_.requestAbort();
}

void BatchController::placeDialog() {
    const WindowBounds owner = FrameBounds(mainWindow_);
    PlaceFrame(dialog_, [owner, area = services_.workArea](int width, int height) {
        return ClampIntoWorkArea(CentredOver(owner, width, height), area);
    });
}

EncoderOutputWindow* BatchController::outputWindow() const { return output_.data(); }

// Beside the progress dialog (which stays on top of it) when that is shown,
// else over the main window.
void BatchController::placeOutputWindow() {
    if (!dialog_.isVisible()) {
        const WindowBounds owner = FrameBounds(mainWindow_);
        PlaceFrame(*output_, [owner, area = services_.workArea](int width, int height) {
            return ClampIntoWorkArea(CentredOver(owner, width, height), area);
        });
        return;
    }
    SetFrameBounds(*output_, BesideWithin(FrameBounds(dialog_), FrameBounds(*output_), kOutputMinimum, kOutputGap,
                                          services_.workArea));
}

CompletionSettings BatchController::completionSettings() const { return services_.completionSettings(); }

int BatchController::parallelRuns() const { return services_.parallelRuns ? services_.parallelRuns() : 1; }

// Shown without waiting: the encode thread waits for this step, and with it
// every other run going.
void BatchController::showWarning(const std::string& text) { services_.messages.notice(kCaption, text); }

void BatchController::reportFailures(const std::vector<RunFailure>& failures) {
    services_.messages.warningWithDetails(kCaption, FormatFailureReport(failures, services_.logFile.string()),
                                          tr("詳細...").toStdString(), [this] { showOutput(true); });
}

void BatchController::requestShutdown() {
    // Posted, like a window message: the batch's last step ends first.
    QMetaObject::invokeMethod(this, &BatchController::shutdownNow, Qt::QueuedConnection);
}

void BatchController::shutdownNow() {
    if (services_.saveSettings) services_.saveSettings();
    services_.power.powerOff();  // a refusal is not reported; the program stays
}

void BatchController::setLabels(const std::string& current, const std::string& remaining) {
    dialog_.setDisplayText(Q(current));
    dialog_.setCountText(Q(remaining));
}

void BatchController::hide() { dialog_.hide(); }

}  // namespace qorvane
