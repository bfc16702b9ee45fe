#include "encode/ui/progress_dialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "controls/ui_font.h"
#include "encode/run_progress.h"

namespace qorvane {

namespace {

// The live part sits below the original three controls, which keep their
// places; the dialog grows downwards to hold it.
constexpr int kMargin = 12;
constexpr int kWidth = 313;
// The abort button keeps its place in the middle; the pause and the stop
// after the runs going flank it.
constexpr int kButtonsTop = 32;
constexpr int kSideButtonWidth = 100;
constexpr int kDisplayLeft = 52;
constexpr int kDisplayWidth = kWidth - kDisplayLeft - kMargin;
constexpr int kBarTop = 66;
constexpr int kLinesTop = 86;
constexpr int kOutputButtonTop = 106;
constexpr int kHeight = kOutputButtonTop + 25 + 8;
// Several runs: a line each from the bar's place down, the name left of a bar.
constexpr int kRunLineHeight = 20;
constexpr int kRunNameWidth = 150;
// The bar counts in tenths of a percent, so that a long run still moves.
constexpr int kBarSteps = 1000;

QString Clock(double seconds) { return QString::fromStdString(FormatClock(seconds)); }

QString ElapsedText(const LiveSnapshot& live) {
    QString text = live.running && live.remaining
                       ? TProDlg::tr("経過 %1 / 残り %2").arg(Clock(live.elapsed), Clock(*live.remaining))
                       : TProDlg::tr("経過 %1").arg(Clock(live.elapsed));
    if (live.paused) text += QStringLiteral("  ") + TProDlg::tr("(一時停止中)");
    return text;
}

void ShowProgress(QProgressBar& bar, const std::optional<EncoderProgress>& progress) {
    if (progress) {
        bar.setRange(0, kBarSteps);
        bar.setValue(static_cast<int>(progress->percent * kBarSteps / 100));
    } else {
        bar.setRange(0, 0);  // busy: the encoder tells no percentage
    }
}

QString PlaceText(const LiveSnapshot& live) {
    QString text;
    if (live.position.total > 0) {
        text = TProDlg::tr("全体 %1/%2").arg(live.position.run).arg(live.position.total);
    }
    if (live.runs.size() > 1) {
        if (!text.isEmpty()) text += QStringLiteral("  ");
        return text + TProDlg::tr("同時 %1").arg(live.runs.size());
    }
    if (live.progress && live.progress->passes > 1) {
        if (!text.isEmpty()) text += QStringLiteral("  ");
        text += TProDlg::tr("パス %1/%2").arg(live.progress->pass).arg(live.progress->passes);
    }
    return text;
}

}  // namespace

TProDlg::TProDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint) {
    setFont(JapaneseUiFont());
    setWindowTitle(tr("エンコード中・・・"));
    setFixedSize(kWidth, kHeight);
    setModal(false);

    Label1 = new QLabel(this);
    Label1->move(kDisplayLeft, 12);

    Label2 = new QLabel(this);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label2->setGeometry(41, 12, 4, Label2->sizeHint().height());

    OKBtn = new QPushButton(tr("中断"), this);
    OKBtn->setGeometry(119, kButtonsTop, 75, 25);
    OKBtn->setAutoDefault(false);

    btnPause = new QPushButton(this);
    btnPause->setGeometry(kMargin, kButtonsTop, kSideButtonWidth, 25);
    btnPause->setAutoDefault(false);
    setPaused(false);

    btnStopAfter = new QPushButton(tr("この後で停止"), this);
    btnStopAfter->setGeometry(kWidth - kMargin - kSideButtonWidth, kButtonsTop, kSideButtonWidth, 25);
    btnStopAfter->setAutoDefault(false);
    btnStopAfter->setToolTip(tr("変換中のファイルを終えてから止めます。残りはリストに残ります"));

    Button1 = new QPushButton(QStringLiteral("dummy"), this);
    Button1->setGeometry(0, 0, 0, 1);
    Button1->setAutoDefault(false);

    pbRun = new QProgressBar(this);
    pbRun->setGeometry(kMargin, kBarTop, kWidth - 2 * kMargin, 14);
    pbRun->setTextVisible(false);  // the figure is in the line below

    // The times take the line under the bar; the place shares the last line
    // with the output button.
    const int lineHeight = fontMetrics().height() + 2;
    lbTime = new QLabel(this);
    lbTime->setGeometry(kMargin, kLinesTop, kWidth - 2 * kMargin, lineHeight);

    lbPlace = new QLabel(this);
    lbPlace->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lbPlace->setGeometry(kMargin, kOutputButtonTop, kWidth - 2 * kMargin - 75 - 8, 25);

    btnOutput = new QPushButton(tr("詳細..."), this);
    btnOutput->setGeometry(kWidth - kMargin - 75, kOutputButtonTop, 75, 25);
    btnOutput->setAutoDefault(false);
    btnOutput->setToolTip(tr("エンコーダの出力とログ"));

    clearLive();
}

void TProDlg::setCountText(const QString& text) {
    Label2->setText(text);
    Label2->adjustSize();
    Label2->move(kCountRightEdge - Label2->width(), 12);
}

void TProDlg::setDisplayText(const QString& text) {
    const QString shown = Label1->fontMetrics().elidedText(text, Qt::ElideMiddle, kDisplayWidth);
    Label1->setText(shown);
    Label1->setToolTip(shown == text ? QString() : text);
    Label1->adjustSize();
}

void TProDlg::showLive(const LiveSnapshot& live) {
    // The bar is that of the run started last: the text names it, not a run
    // prepared after it and skipped.
    if (live.running) setDisplayText(QString::fromStdString(live.label));
    showRunLines(live.runs.size() > 1 ? live.runs : std::vector<LiveRun>{});
    ShowProgress(*pbRun, live.progress);
    if (live.progress) {
        lbTime->setText(QStringLiteral("%1%  ").arg(static_cast<int>(live.progress->percent)) + ElapsedText(live));
    } else {
        lbTime->setText(ElapsedText(live));
    }
    lbPlace->setText(PlaceText(live));
}

void TProDlg::showRunLines(const std::vector<LiveRun>& runs) {
    const int count = static_cast<int>(runs.size());
    while (static_cast<int>(runLines_.size()) < count) {
        const int top = kBarTop + static_cast<int>(runLines_.size()) * kRunLineHeight;
        RunLine line{new QLabel(this), new QProgressBar(this)};
        line.name->setGeometry(kMargin, top, kRunNameWidth, kRunLineHeight - 4);
        line.bar->setGeometry(kMargin + kRunNameWidth + 6, top + 1, kWidth - 2 * kMargin - kRunNameWidth - 6, 14);
        line.bar->setTextVisible(false);
        runLines_.push_back(line);
    }
    for (int i = 0; i < static_cast<int>(runLines_.size()); ++i) {
        const RunLine& line = runLines_[static_cast<std::size_t>(i)];
        line.name->setVisible(i < count);
        line.bar->setVisible(i < count);
        if (i >= count) continue;
        const LiveRun& run = runs[static_cast<std::size_t>(i)];
        const QString label = QString::fromStdString(run.label);
        line.name->setText(line.name->fontMetrics().elidedText(label, Qt::ElideMiddle, kRunNameWidth));
        line.name->setToolTip(label);
        ShowProgress(*line.bar, run.progress);
    }
    if (count == shownLines_) return;
    // The single run's bar and times, or the lines with the place and the
    // button below them.
    shownLines_ = count;
    pbRun->setVisible(count == 0);
    lbTime->setVisible(count == 0);
    const int bottomTop = count == 0 ? kOutputButtonTop : kBarTop + count * kRunLineHeight + 6;
    lbPlace->move(lbPlace->x(), bottomTop);
    btnOutput->move(btnOutput->x(), bottomTop);
    setFixedSize(kWidth, bottomTop + 25 + 8);
}

void TProDlg::clearLive() {
    showRunLines({});
    pbRun->setRange(0, 0);
    lbTime->clear();
    lbPlace->clear();
}

void TProDlg::setPaused(bool paused) {
    btnPause->setText(paused ? tr("再開") : tr("一時停止"));
    btnPause->setToolTip(paused ? tr("エンコーダを再開します") : tr("エンコーダを一時停止します"));
}

void TProDlg::setStopAfterAsked(bool asked) { btnStopAfter->setEnabled(!asked); }

void TProDlg::reject() { emit abortAsked(); }

void TProDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Button1->setFocus();
}

}  // namespace qorvane
