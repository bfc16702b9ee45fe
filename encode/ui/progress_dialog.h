#pragma once
// The progress dialog of a batch: which file is being encoded, how many are
// left, and the abort button. One instance, created at start-up, shown
// modelessly and on top of other windows.

#include <QDialog>

class QLabel;
class QPushButton;

namespace qorvane {

class TProDlg : public QDialog {
    Q_OBJECT
public:
    explicit TProDlg(QWidget* parent = nullptr);

    // The count text ("(%d) "), kept right-aligned against the display text.
    void setCountText(const QString& text);
    // The display text of the current run.
    void setDisplayText(const QString& text);

    QLabel* Label1;       // display text
    QLabel* Label2;       // count text
    QPushButton* OKBtn;   // "中断": abort
    QPushButton* Button1; // invisible; takes the focus so Enter and Space do not abort

protected:
    void showEvent(QShowEvent* event) override;

private:
    static constexpr int kCountRightEdge = 45;
};

}  // namespace qorvane
