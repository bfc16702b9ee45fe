#include "encode/ui/batch_controller.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPushButton>
#include <QThread>
#include <exception>

#include "controls/window_frame.h"
#include "base/window_placement.h"
#include "encode/ui/progress_dialog.h"

namespace qorvane {

namespace {

constexpr const char* kCaption = "qorv";

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
    thread_ = std::make_unique<EncodeThread>(runner_, invoker_, services_.launcher, services_.logFile);
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
}

void BatchController::tbConvClick() {
    if (!runner_.beginBatch()) return;
    placeDialog();
    dialog_.show();
    thread_->postStart();
}

void BatchController::OKBtnClick() { runner_.requestAbort(); }

void BatchController::abortBatch() {
    if (converting()) runner_.requestAbort();
}

void BatchController::placeDialog() {
    const WindowBounds owner = FrameBounds(mainWindow_);
    PlaceFrame(dialog_, [owner, area = services_.workArea](int width, int height) {
        return ClampIntoWorkArea(CentredOver(owner, width, height), area);
    });
}

CompletionSettings BatchController::completionSettings() const { return services_.completionSettings(); }

void BatchController::showWarning(const std::string& text) { services_.messages.warning(kCaption, text); }

void BatchController::reportFailures(const std::vector<RunFailure>& failures) {
    services_.messages.warning(kCaption, FormatFailureReport(failures, services_.logFile.string()));
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
