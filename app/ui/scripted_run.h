#pragma once
// Runs of the program without a person at the screen, chosen by environment
// variables (tests and the screenshot script use them):
//   QORVANE_MESSAGE_BOXES=stderr  message boxes are written to stderr as
//                                 "caption: text" and answered with OK
//   QORVANE_STARTUP_REPORT=1      once the main window is up, its state is
//                                 written to stdout and the window is closed
//   QORVANE_SCREENSHOTS=<dir>     the main window, the environment dialog,
//                                 the profile editor and its custom size
//                                 dialog are saved as PNG files there, then
//                                 the window is closed

#include <QString>
#include <iosfwd>

namespace qorvane {

class Pickers;
class TQorvbyOstrel;
struct AppState;

bool MessageBoxesToStderr();

// Arranges for whatever the environment asks for after the event loop has
// started.
void ScheduleScriptedRun(TQorvbyOstrel& window, AppState& state, Pickers& pickers);

// The report of QORVANE_STARTUP_REPORT.
void WriteStartupReport(TQorvbyOstrel& window, const AppState& state, std::ostream& out);

// The screenshots of QORVANE_SCREENSHOTS; false when one could not be saved.
bool SaveScreenshots(TQorvbyOstrel& window, AppState& state, Pickers& pickers, const QString& dir);

}  // namespace qorvane
