#include "app/ui/environment_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "app/ui/pickers.h"
#include "controls/ui_font.h"
#include "controls/window_frame.h"
#include "base/window_placement.h"
#include "controls/updn_button.h"
#include "encode/parallel_runs.h"

namespace qorvane {

namespace {

QCheckBox* NewCheckBox(QWidget* parent, const QString& text, int top) {
    auto* box = new QCheckBox(text, parent);
    box->setGeometry(8, top, 307, 17);
    return box;
}

QLineEdit* NewPathField(QWidget* parent, const QString& caption, int labelLeft, int fieldLeft, int top) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(fieldLeft, top, 297 - fieldLeft + 1, 21);
    auto* label = new QLabel(caption, parent);
    label->setGeometry(labelLeft, top + 3, fieldLeft - labelLeft - 4, 15);
    label->setBuddy(edit);
    return edit;
}

TUpDnButton* AttachDropButton(QLineEdit* edit) {
    auto* button = new TUpDnButton(edit->parentWidget());
    button->setAssociate(edit);
    button->resize(button->width(), edit->height());
    return button;
}

}  // namespace

TEnvDlg::TEnvDlg(AppSettings& settings, const WorkArea& workArea, Pickers& pickers, QPoint cursor,
                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint),
      settings_(settings),
      pickers_(pickers) {
    setFont(JapaneseUiFont());
    setWindowTitle(tr("環境設定"));
    // The original form, and below it a row for the runs at the same time,
    // one for cover art and one for the notice at the end.
    setFixedSize(323, 211 + kParallelRowHeight + kCoverRowHeight + kNotifyRowHeight);

    cbShutdn = NewCheckBox(this, tr("全変換終了時にシャットダウンする"), 10);
    cbSnd1 = NewCheckBox(this, tr("変換終了時に音を鳴らす"), 38);
    edSnd1 = NewPathField(this, tr("音ファイル"), 24, 88, 58);
    UpDnButton2 = AttachDropButton(edSnd1);
    cbSnd2 = NewCheckBox(this, tr("全変換終了後に音を鳴らす"), 90);
    edSnd2 = NewPathField(this, tr("音ファイル"), 24, 88, 110);
    UpDnButton3 = AttachDropButton(edSnd2);
    outdir = NewPathField(this, tr("デフォルト作成先"), 8, 112, 142);
    UpDnButton1 = AttachDropButton(outdir);

    sePar = new QSpinBox(this);
    sePar->setRange(1, ProcessorCount());
    sePar->setGeometry(112, 174, 50, 21);
    auto* parLabel = new QLabel(tr("同時に変換する数"), this);
    parLabel->setGeometry(8, 177, 100, 15);
    parLabel->setBuddy(sePar);
    auto* parRange = new QLabel(tr("(1〜%1)").arg(ProcessorCount()), this);
    parRange->setGeometry(168, 177, 129, 15);
    sePar->setToolTip(tr("いくつのファイルを同時にエンコードするか (CPU の数まで)"));
    cbCover = NewCheckBox(this, tr("カバー画像を引き継ぐ"), 174 + kParallelRowHeight);
    cbNotify = NewCheckBox(this, tr("終了時に通知する"), 174 + kParallelRowHeight + kCoverRowHeight);

    const int buttonTop = 178 + kParallelRowHeight + kCoverRowHeight + kNotifyRowHeight;
    OKBtn = new QPushButton(tr("OK"), this);
    OKBtn->setGeometry(152, buttonTop, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(tr("キャンセル"), this);
    CancelBtn->setGeometry(238, buttonTop, 75, 25);

    setTabOrder(cbShutdn, cbSnd1);
    setTabOrder(cbSnd1, edSnd1);
    setTabOrder(edSnd1, UpDnButton2);
    setTabOrder(UpDnButton2, cbSnd2);
    setTabOrder(cbSnd2, edSnd2);
    setTabOrder(edSnd2, UpDnButton3);
    setTabOrder(UpDnButton3, outdir);
    setTabOrder(outdir, UpDnButton1);
    setTabOrder(UpDnButton1, sePar);
    setTabOrder(sePar, cbCover);
    setTabOrder(cbCover, cbNotify);
    setTabOrder(cbNotify, OKBtn);
    setTabOrder(OKBtn, CancelBtn);

    connect(OKBtn, &QPushButton::clicked, this, &TEnvDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(UpDnButton1, &TUpDnButton::clicked, this, &TEnvDlg::UpDnButton1Click);
    connect(UpDnButton2, &TUpDnButton::clicked, this, &TEnvDlg::UpDnButton2Click);
    connect(UpDnButton3, &TUpDnButton::clicked, this, &TEnvDlg::UpDnButton3Click);

    FormCreate(workArea, cursor);
}

void TEnvDlg::FormCreate(const WorkArea& workArea, QPoint cursor) {
    outdir->setText(QString::fromStdString(settings_.dir));
    cbShutdn->setChecked(settings_.shutdn);
    cbSnd1->setChecked(settings_.bone);
    cbSnd2->setChecked(settings_.ball);
    edSnd1->setText(QString::fromStdString(settings_.sone));
    edSnd2->setText(QString::fromStdString(settings_.sall));
    sePar->setValue(ClampParallelRuns(settings_.parallel));
    cbCover->setChecked(settings_.cover);
    cbNotify->setChecked(settings_.notify);

    PlaceFrame(*this, [area = workArea, cursor](int width, int height) {
        return ClampIntoWorkArea(CentredOn(cursor.x(), cursor.y(), width, height), area);
    });
}

void TEnvDlg::OKBtnClick() {
    settings_.dir = outdir->text().toStdString();
    settings_.shutdn = cbShutdn->isChecked();
    settings_.bone = cbSnd1->isChecked();
    settings_.ball = cbSnd2->isChecked();
    settings_.sone = edSnd1->text().toStdString();
    settings_.sall = edSnd2->text().toStdString();
    settings_.parallel = sePar->value();
    settings_.cover = cbCover->isChecked();
    settings_.notify = cbNotify->isChecked();
    accept();
}

void TEnvDlg::UpDnButton1Click() {
    if (const auto folder = pickers_.chooseFolder(this, outdir->text())) outdir->setText(*folder);
}

void TEnvDlg::UpDnButton2Click() { chooseSoundFile(edSnd1); }

void TEnvDlg::UpDnButton3Click() { chooseSoundFile(edSnd2); }

void TEnvDlg::chooseSoundFile(QLineEdit* edit) {
    // The directory part of the field, separator included; empty for a bare name.
    const QString text = edit->text();
    const QString dir = text.left(text.lastIndexOf(QLatin1Char('/')) + 1);
    if (const auto file = pickers_.chooseSoundFile(this, dir)) edit->setText(*file);
}

}  // namespace qorvane
