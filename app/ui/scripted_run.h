#pragma once
// Runs of the program without a person at the screen, chosen by environment
// variables (tests and the screenshot script use them):
//   QORVANE_MESSAGE_BOXES=stderr  message boxes are written to stderr as
//                                 "caption: text" and answered with OK (a
//                                 question with No; with stderr-yes, Yes)
//   QORVANE_STARTUP_REPORT=1      once the main window is up, its state is
//                                 written to stdout and the window is closed
//   QORVANE_SCREENSHOTS=<dir>     the main window, the environment dialog,
//                                 the profile editor and its custom size
//                                 dialog are saved as PNG files there; with
//                                 rows in the list, a batch is started and
//                                 the progress dialog and the encoder's
//                                 output window are saved while it runs,
//                                 then it is aborted and the window closed
//   QORVANE_RUN_BATCH=1           once the main window is up, "rows: N" is
//                                 written to stdout, the batch is started
//                                 and each run's line written as it ends
//                                 (as qorvane-cli encode prints them); when
//                                 the batch is over, "rows left: N" is
//                                 written and the window closed

#include <QString>
#include <functional>
#include <iosfwd>

namespace qorvane {

class BatchController;
class Pickers;
class TProDlg;
class TQorvbyOstrel;
struct AppState;

bool MessageBoxesToStderr();
bool QuestionsAnsweredYes();

// Arranges for whatever the environment asks for after the event loop has
// started.
void ScheduleScriptedRun(TQorvbyOstrel& window, AppState& state, Pickers& pickers, BatchController& batch,
                         TProDlg& progress);

// The batch of QORVANE_RUN_BATCH, its lines on `out`; `done` is called
// once it is over.
void RunBatchUnattended(TQorvbyOstrel& window, BatchController& batch, std::ostream& out,
                        std::function<void()> done);

// The report of QORVANE_STARTUP_REPORT.
void WriteStartupReport(TQorvbyOstrel& window, const AppState& state, std::ostream& out);

// The screenshots of QORVANE_SCREENSHOTS; false when one could not be saved.
bool SaveScreenshots(TQorvbyOstrel& window, AppState& state, Pickers& pickers, const QString& dir);

// The screenshots of a batch: it is started, and once the encoder tells a
// percentage (or after a minute) the progress dialog and the output window,
// on the run's output and on the session's log, are saved. The batch is then
// aborted; `done` is called when it has stopped, with false when a picture
// could not be saved.
void SaveBatchScreenshots(BatchController& batch, TProDlg& progress, const QString& dir,
                          std::function<void(bool saved)> done);

}  // namespace qorvane
