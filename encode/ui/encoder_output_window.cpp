#include "encode/ui/encoder_output_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <string_view>

#include "controls/ui_font.h"

namespace qorvane {

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// How many bytes `now` has lost from the front of `shown`, if `now` is
// `shown` cut at a line start and grown at its end (the status keeps only a
// tail of the output); npos when it is something else.
std::size_t FrontCut(std::string_view shown, std::string_view now) {
    if (now.starts_with(shown)) return 0;
    const std::size_t firstLineEnd = now.find('\n');
    if (firstLineEnd == std::string_view::npos) return std::string_view::npos;
    const std::string_view firstLine = now.substr(0, firstLineEnd + 1);
    for (std::size_t at = shown.find(firstLine); at != std::string_view::npos; at = shown.find(firstLine, at + 1)) {
        if ((at == 0 || shown[at - 1] == '\n') && now.starts_with(shown.substr(at))) return at;
    }
    return std::string_view::npos;
}

// Brings the view from `shown` to `now` without disturbing its reader where
// it can: a selection survives text added at the end or lines dropped at the
// front, and a view scrolled to its end stays there.
void Follow(QPlainTextEdit& view, std::string& shown, std::string now) {
    if (now == shown) return;
    QScrollBar* bar = view.verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    const std::size_t cut = FrontCut(shown, now);
    if (cut == std::string_view::npos) {
        view.setPlainText(Q(now));
    } else {
        QTextCursor cursor(view.document());
        if (cut > 0) {
            cursor.setPosition(static_cast<int>(Q(std::string_view(shown).substr(0, cut)).size()),
                               QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(Q(std::string_view(now).substr(shown.size() - cut)));
    }
    shown = std::move(now);
    if (atEnd) bar->setValue(bar->maximum());
}

QPlainTextEdit* NewTextView(QWidget* parent) {
    auto* view = new QPlainTextEdit(parent);
    view->setReadOnly(true);  // still selectable and copyable
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(12);
    view->setFont(fixed);
    return view;
}

}  // namespace

EncoderOutputWindow::EncoderOutputWindow(const LiveRunStatus& live, const QString& logFile, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint),
      live_(live) {
    setFont(JapaneseUiFont());
    setWindowTitle(tr("エンコーダの出力"));
    setModal(false);
    setSizeGripEnabled(true);
    resize(560, 380);

    lbRun = new QLabel(this);
    lbRun->setTextInteractionFlags(Qt::TextSelectableByMouse);

    tabs = new QTabWidget(this);
    edOutput = NewTextView(tabs);
    edLog = NewTextView(tabs);
    edOutput->setPlaceholderText(tr("エンコーダの出力はまだありません"));
    tabs->addTab(edOutput, tr("出力"));
    tabs->addTab(edLog, tr("ログ"));

    auto* logLabel = new QLabel(tr("ログファイル:"), this);
    edLogFile = new QLineEdit(logFile, this);
    edLogFile->setReadOnly(true);
    edLogFile->setCursorPosition(0);
    logLabel->setBuddy(edLogFile);

    btnClose = new QPushButton(tr("閉じる"), this);
    btnClose->setAutoDefault(false);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(logLabel);
    bottom->addWidget(edLogFile, 1);
    bottom->addSpacing(8);
    bottom->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(lbRun);
    layout->addWidget(tabs, 1);
    layout->addLayout(bottom);

    refresh();
}

void EncoderOutputWindow::showRunOutput() { tabs->setCurrentWidget(edOutput); }

void EncoderOutputWindow::showSessionLog() { tabs->setCurrentWidget(edLog); }

void EncoderOutputWindow::refresh() {
    const LiveSnapshot snapshot = live_.snapshot();
    if (refreshed_ && snapshot.serial == serial_) return;
    refreshed_ = true;
    serial_ = snapshot.serial;
    if (snapshot.serial == 0) {
        lbRun->setText(tr("まだ変換していません"));
    } else {
        lbRun->setText((snapshot.running ? tr("変換中: ") : tr("終了: ")) + Q(snapshot.label));
    }
    Follow(*edOutput, shownOutput_, live_.currentOutput());
    Follow(*edLog, shownLog_, live_.sessionLog());
}

}  // namespace qorvane
