#include "app/ui/scripted_run.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProgressBar>
#include <QTimer>
#include <QTreeView>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/app_state.h"
#include "app/ui/environment_dialog.h"
#include "app/ui/main_window.h"
#include "encode/run_lines.h"
#include "encode/ui/batch_controller.h"
#include "encode/ui/encoder_output_window.h"
#include "encode/ui/progress_dialog.h"
#include "profiles/profile_names.h"
#include "profiles/ui/enc_set_dlg.h"
#include "profiles/ui/vsize_dlg.h"

namespace qorvane {

namespace {

QString Environment(const char* name) { return QString::fromLocal8Bit(qgetenv(name)); }

// Calls `step` every tenth of a second until it answers true.
void Poll(QObject* context, std::function<bool()> step) {
    auto* timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [timer, step = std::move(step)] {
        timer->stop();  // a step may handle events: it must not come round again meanwhile
        if (step()) {
            timer->deleteLater();
        } else {
            timer->start();
        }
    });
    timer->start(100);
}

}  // namespace

bool MessageBoxesToStderr() { return Environment("QORVANE_MESSAGE_BOXES").startsWith(QLatin1String("stderr")); }

bool QuestionsAnsweredYes() { return Environment("QORVANE_MESSAGE_BOXES") == QLatin1String("stderr-yes"); }

void WriteStartupReport(TQorvbyOstrel& window, const AppState& state, std::ostream& out) {
    out << "caption: " << window.windowTitle().toStdString() << '\n';
    out << "debug: " << (state.encoder.debugMode ? 1 : 0) << '\n';
    out << "script: " << state.encoder.scriptPath << '\n';
    out << "cscript: " << state.encoder.cscriptPath.string() << '\n';
    out << "profiles:";
    for (int i = 0; i < window.proList->count(); ++i) out << ' ' << window.proList->itemText(i).toStdString();
    out << "\nprofile: " << window.proList->currentText().toStdString() << '\n';
    const JobList& jobs = window.jobs();
    out << "rows: " << jobs.size() << '\n';
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const EncodeJob& j = jobs[i];
        out << "row: " << j.File << '|' << j.Profile << '|' << j.Title << '|' << j.Author << '|' << j.Album
            << '|' << j.Year << '|' << j.Copy << '|' << j.Path << '|' << j.OutDir << '\n';
    }
    out.flush();
}

bool SaveScreenshots(TQorvbyOstrel& window, AppState& state, Pickers& pickers, const QString& dir) {
    QDir().mkpath(dir);
    if (window.jobs().size() > 0) window.ListView1->setCurrentIndex(window.ListView1->model()->index(0, 0));
    QCoreApplication::processEvents();
    bool saved = window.grab().save(QDir(dir).filePath(QStringLiteral("main-window.png")));
    TEnvDlg dialog(state.settings, state.workArea, pickers, window.geometry().center(), &window);
    dialog.show();
    QCoreApplication::processEvents();
    saved = dialog.grab().save(QDir(dir).filePath(QStringLiteral("environment-dialog.png"))) && saved;
    dialog.close();

    // The profile editor over the drop-down's profile (nothing is saved) and
    // its custom size dialog.
    std::filesystem::path profile = ProfilePath(state.paths.profileDir, window.proList->currentText().toStdString());
    ProfileEditorServices services;
    services.workArea = state.workArea;
    services.cursor = window.geometry().center();
    TEncSetDlg editor(profile, services, &window);
    editor.setWindowTitle(TQorvbyOstrel::tr("Profile - %1").arg(window.proList->currentText()));
    editor.show();
    QCoreApplication::processEvents();
    saved = editor.grab().save(QDir(dir).filePath(QStringLiteral("profile-editor.png"))) && saved;
    TVsizeDlg size(editor.pendingCustomWidth(), editor.pendingCustomHeight(), &editor, &window);
    size.show();
    QCoreApplication::processEvents();
    saved = size.grab().save(QDir(dir).filePath(QStringLiteral("custom-size-dialog.png"))) && saved;
    size.close();
    editor.close();
    return saved;
}

void SaveBatchScreenshots(BatchController& batch, TProDlg& progress, const QString& dir,
                          std::function<void(bool saved)> done) {
    batch.tbConvClick();
    const QDeadlineTimer patience(60000);
    Poll(&batch, [&batch, &progress, dir, done, patience] {
        // A run well under way, so that the bar and its figures show.
        const int value = progress.pbRun->value();
        const bool midRun = progress.pbRun->maximum() > 0 && value > progress.pbRun->maximum() / 10 &&
                            value < progress.pbRun->maximum() * 9 / 10;
        if (!midRun && !patience.hasExpired() && batch.converting()) return false;
        bool saved = progress.grab().save(QDir(dir).filePath(QStringLiteral("progress-dialog.png")));
        batch.showOutput();
        EncoderOutputWindow* output = batch.outputWindow();
        QCoreApplication::processEvents();
        saved = output->grab().save(QDir(dir).filePath(QStringLiteral("encoder-output.png"))) && saved;
        output->showSessionLog();
        QCoreApplication::processEvents();
        saved = output->grab().save(QDir(dir).filePath(QStringLiteral("encoder-log.png"))) && saved;
        batch.abortBatch();
        Poll(&batch, [&batch, done, saved] {
            if (batch.converting()) return false;
            done(saved);
            return true;
        });
        return true;
    });
}

void RunBatchUnattended(TQorvbyOstrel& window, BatchController& batch, std::ostream& out,
                        std::function<void()> done) {
    out << "rows: " << window.jobs().size() << std::endl;
    // Lines are written within the batch's steps, on this thread.
    auto lines = std::make_shared<RunLines>([&out](const std::string& line, bool) { out << line << std::endl; });
    batch.setRunObserver(lines.get());
    batch.tbConvClick();
    Poll(&batch, [&window, &batch, &out, lines, done] {
        if (batch.converting()) return false;
        batch.setRunObserver(nullptr);
        out << "rows left: " << window.jobs().size() << std::endl;
        done();
        return true;
    });
}

void ScheduleScriptedRun(TQorvbyOstrel& window, AppState& state, Pickers& pickers, BatchController& batch,
                         TProDlg& progress) {
    const QString screenshots = Environment("QORVANE_SCREENSHOTS");
    const bool report = Environment("QORVANE_STARTUP_REPORT") == QLatin1String("1");
    if (Environment("QORVANE_RUN_BATCH") == QLatin1String("1")) {
        // Unattended, nobody answers the free-space question: the batch
        // starts, as `qorvane-cli encode --ignore-space` does, and a run
        // that meets a full disk is reported as failed.
        batch.setStartCheck({});
        QTimer::singleShot(200, &window, [&window, &batch] {
            RunBatchUnattended(window, batch, std::cout, [&window] { window.close(); });
        });
        return;
    }
    if (screenshots.isEmpty() && !report) return;
    // Give the window a moment to be laid out and painted first.
    QTimer::singleShot(200, &window, [&window, &state, &pickers, &batch, &progress, screenshots, report] {
        if (report) WriteStartupReport(window, state, std::cout);
        if (screenshots.isEmpty()) {
            window.close();
            return;
        }
        const auto finished = [&window, screenshots](bool saved) {
            if (!saved) std::cerr << "screenshots could not be saved in " << screenshots.toStdString() << std::endl;
            window.close();
        };
        const bool saved = SaveScreenshots(window, state, pickers, screenshots);
        if (window.jobs().size() == 0) return finished(saved);
        SaveBatchScreenshots(batch, progress, screenshots, [finished, saved](bool batchSaved) {
            finished(saved && batchSaved);
        });
    });
}

}  // namespace qorvane
