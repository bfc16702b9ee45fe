#pragma once
// The progress dialog of a batch: which file is being encoded, how many are
// left, and the abort button, between the pause button and the stop after
// the runs going. One instance, created at start-up, shown
// modelessly and on top of other windows. Below them: how far the current
// run has come, its times, its place in the batch, and a button that opens
// the encoder's output. While several runs go, one line per run (its name
// and a bar) takes the place of the bar and the times, and the dialog grows
// to hold them.

#include <QDialog>
#include <vector>

#include "encode/live_status.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace qorvane {

class TProDlg : public QDialog {
    Q_OBJECT
public:
    explicit TProDlg(QWidget* parent = nullptr);

    // The count text ("(%d) "), kept right-aligned against the display text.
    void setCountText(const QString& text);
    // The display text of the current run; a long one loses its middle.
    void setDisplayText(const QString& text);

    // What the encoder is doing: a percentage when it tells one, else a busy
    // bar; the elapsed and the remaining time; the run's place in the batch.
    // With several runs going, a line for each.
    void showLive(const LiveSnapshot& live);
    // Nothing known yet (a batch is starting): a busy bar and no figures.
    void clearLive();

    // The pause button says what it does next: pause, or resume.
    void setPaused(bool paused);
    // Once asked for, the stop after the runs going cannot be asked again.
    void setStopAfterAsked(bool asked);

    QLabel* Label1;       // display text
    QLabel* Label2;       // count text
    QPushButton* OKBtn;   // "中断": abort
    QPushButton* btnPause;      // "一時停止", "再開" while paused
    QPushButton* btnStopAfter;  // "この後で停止": the runs going finish, no other starts
    QPushButton* Button1; // invisible; takes the focus so Enter and Space do not abort
    QProgressBar* pbRun;  // the current run
    QLabel* lbTime;       // "経過 00:12 / 残り 00:17"
    QLabel* lbPlace;      // "全体 3/12  パス 1/2"
    QPushButton* btnOutput;  // "詳細...": the encoder's output

    // The lines of the runs going, while there are several; hidden beyond.
    struct RunLine {
        QLabel* name;
        QProgressBar* bar;
    };
    const std::vector<RunLine>& runLines() const { return runLines_; }

signals:
    // Esc or the title bar's close button: the dialog stays, and whoever
    // runs the batch asks whether to abort it.
    void abortAsked();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    static constexpr int kCountRightEdge = 45;

    void showRunLines(const std::vector<LiveRun>& runs);

    std::vector<RunLine> runLines_;
    int shownLines_ = 0;  // 0: the single run's bar and times
};

}  // namespace qorvane
