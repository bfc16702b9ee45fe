#pragma once
// The environment dialog "環境設定": completion actions, the default output
// folder, how many runs go at the same time, whether outputs carry cover
// art and whether the end of a batch brings a desktop notice. Created for each use; OK copies the fields back into the settings
// without checking them, anything else copies nothing.

#include <QDialog>

#include "app/settings.h"
#include "platform/desktop.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace qorvane {

class Pickers;
class TUpDnButton;

class TEnvDlg : public QDialog {
    Q_OBJECT
public:
    // Placed centred on the mouse pointer and pulled into the work area.
    TEnvDlg(AppSettings& settings, const WorkArea& workArea, Pickers& pickers, QPoint cursor,
            QWidget* parent = nullptr);

    QCheckBox* cbShutdn;
    QCheckBox* cbSnd1;
    QLineEdit* edSnd1;
    TUpDnButton* UpDnButton2;
    QCheckBox* cbSnd2;
    QLineEdit* edSnd2;
    TUpDnButton* UpDnButton3;
    QLineEdit* outdir;
    TUpDnButton* UpDnButton1;
    QSpinBox* sePar;  // runs at the same time
    QCheckBox* cbCover;
    QCheckBox* cbNotify;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

public slots:
    void OKBtnClick();
    void UpDnButton1Click();
    void UpDnButton2Click();
    void UpDnButton3Click();

private:
    static constexpr int kParallelRowHeight = 28;
    static constexpr int kCoverRowHeight = 24;
    static constexpr int kNotifyRowHeight = 24;

    void FormCreate(const WorkArea& workArea, QPoint cursor);
    void chooseSoundFile(QLineEdit* edit);

    AppSettings& settings_;
    Pickers& pickers_;
};

}  // namespace qorvane
