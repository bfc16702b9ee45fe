#include "app/ui/scripted_run.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <QTreeView>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/app_state.h"
#include "app/ui/environment_dialog.h"
#include "app/ui/main_window.h"
#include "profiles/profile_names.h"
#include "profiles/ui/enc_set_dlg.h"
#include "profiles/ui/vsize_dlg.h"

namespace qorvane {

namespace {

QString Environment(const char* name) { return QString::fromLocal8Bit(qgetenv(name)); }

}  // namespace

bool MessageBoxesToStderr() { return Environment("QORVANE_MESSAGE_BOXES") == QLatin1String("stderr"); }

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
    editor.setWindowTitle(QStringLiteral("Profile - ") + window.proList->currentText());
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

void ScheduleScriptedRun(TQorvbyOstrel& window, AppState& state, Pickers& pickers) {
    const QString screenshots = Environment("QORVANE_SCREENSHOTS");
    const bool report = Environment("QORVANE_STARTUP_REPORT") == QLatin1String("1");
    if (screenshots.isEmpty() && !report) return;
    // Give the window a moment to be laid out and painted first.
    QTimer::singleShot(200, &window, [&window, &state, &pickers, screenshots, report] {
        if (report) WriteStartupReport(window, state, std::cout);
        if (!screenshots.isEmpty() && !SaveScreenshots(window, state, pickers, screenshots)) {
            std::cerr << "screenshots could not be saved in " << screenshots.toStdString() << std::endl;
        }
        window.close();
    });
}

}  // namespace qorvane
