#pragma once
// The encoder's output: what the current (or last) run printed, every run of
// this session, and where the batch log is kept. Not modal; it stays open
// and readable after the batch, and its text can be selected and copied.

#include <QDialog>
#include <cstdint>
#include <string>

#include "encode/live_status.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace qorvane {

class EncoderOutputWindow : public QDialog {
    Q_OBJECT
public:
    EncoderOutputWindow(const LiveRunStatus& live, const QString& logFile, QWidget* parent = nullptr);

    // Takes in what has changed since the last call; cheap when nothing has.
    void refresh();
    void showRunOutput();
    void showSessionLog();

    QLabel* lbRun;            // which run the output is of
    QTabWidget* tabs;
    QPlainTextEdit* edOutput; // the run's output, progress lines left out
    QPlainTextEdit* edLog;    // this session's runs: command line, output, how each ended
    QLineEdit* edLogFile;     // the batch log's path
    QPushButton* btnClose;

private:
    const LiveRunStatus& live_;
    bool refreshed_ = false;
    std::uint64_t serial_ = 0;
    std::string shownOutput_;
    std::string shownLog_;
};

}  // namespace qorvane
