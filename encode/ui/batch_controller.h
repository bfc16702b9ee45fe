#pragma once
// The batch in the desktop program: the convert command, the progress
// dialog, the encode thread with its hand-over to the main thread, and the
// shutdown at the end of a batch. While a batch runs, what the encoder is
// doing is read a few times a second into the dialog, the main window's
// title and the encoder's output window.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "encode/batch_runner.h"
#include "encode/encode_thread.h"
#include "encode/live_status.h"
#include "platform/desktop.h"
#include "platform/message_box.h"
#include "platform/output_folders.h"
#include "platform/power_control.h"

class QWidget;

namespace qorvane {

class EncoderOutputWindow;
class TProDlg;

// Runs steps on the thread that owns `context` and waits for them. Once
// closed, steps are dropped, so a thread still handing one over while the
// program ends does not wait for a main loop that has stopped.
class QtMainThreadInvoker final : public MainThreadInvoker {
public:
    explicit QtMainThreadInvoker(QObject* context) : context_(context) {}
    void invoke(const std::function<void()>& step) override;
    void close() { closed_ = true; }

private:
    QObject* context_;
    std::atomic<bool> closed_{false};
};

class BatchController final : public QObject, public BatchHost, public BatchProgressView {
    Q_OBJECT
public:
    struct Services {
        JobQueue& jobs;
        // The completion actions as they stand when a step runs.
        std::function<CompletionSettings()> completionSettings;
        const WorkArea& workArea;
        MessageBoxes& messages;
        JobTagWriter& tagWriter;
        SoundPlayer& sounds;
        PowerControl& power;
        ProcessLauncher& launcher;
        const OutputFolders& outputFolders;
        std::filesystem::path logFile;
        // Saves the settings as closing the main window does; called before
        // the computer is shut down.
        std::function<void()> saveSettings;
        // Runs at the same time as set when a run is taken; none: one.
        std::function<int()> parallelRuns;
    };

    BatchController(QWidget& mainWindow, TProDlg& dialog, Services services, EncoderLocation encoder,
                    std::filesystem::path profileDir);
    // Ends the thread; a running encoder is ended as by an abort.
    ~BatchController() override;

    // From the convert click, before the encode thread has taken it up,
    // until the batch is over.
    bool converting() const { return thread_->busy(); }
    BatchRunner& runner() { return runner_; }
    // As the abort button: used when the program is closed or told to end.
    void abortBatch();
    // Opens the encoder's output window (the dialog's "詳細..." button): on
    // the current run's output, or on the session's log.
    void showOutput(bool sessionLog = false);
    // None until first opened.
    EncoderOutputWindow* outputWindow() const;
    // Asked by the convert command before a batch starts (not while one
    // runs, nor with an empty list): false leaves everything as it was.
    void setStartCheck(std::function<bool()> check) { startCheck_ = std::move(check); }
    // Told of every run as it ends, on this thread.
    void setRunObserver(RunObserver* observer) { thread_->setObserver(observer); }
    // Told of each batch as a whole (its start, progress and end), on this thread.
    void setBatchListener(BatchListener* listener);

    // BatchHost
    CompletionSettings completionSettings() const override;
    int parallelRuns() const override;
    void showWarning(const std::string& text) override;
    void requestShutdown() override;
    void reportFailures(const std::vector<RunFailure>& failures) override;
    // BatchProgressView
    void setLabels(const std::string& current, const std::string& remaining) override;
    void hide() override;

public slots:
    void tbConvClick();
    void OKBtnClick();
    // The dialog's pause button: pauses every encoder going, or resumes them.
    void pauseClick();
    // "この後で停止": the runs going finish, and the batch stops.
    void stopAfterClick();
    // Esc or closing the progress dialog: asks, and aborts on Yes.
    void askAbort();

private slots:
    void shutdownNow();  // the shutdown message's handler
    void refreshLive();

private:
    void placeDialog();
    void placeOutputWindow();

    QWidget& mainWindow_;
    TProDlg& dialog_;
    Services services_;
    BatchRunner runner_;
    QtMainThreadInvoker invoker_;
    LiveRunStatus live_;
    QTimer liveTimer_;
    std::uint64_t batchStartSerial_ = 0;  // the status's serial when the batch began
    QString idleTitle_;                   // the main window's title without a percentage
    QPointer<EncoderOutputWindow> output_;
    std::function<bool()> startCheck_;
    BatchListener* listener_ = nullptr;
    std::unique_ptr<EncodeThread> thread_;
};

}  // namespace qorvane
