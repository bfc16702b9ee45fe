#pragma once
// "カスタムサイズ設定": asks for the custom frame size, width X height. Both
// fields take digits only and may be left empty.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qorvane {

class TVsizeDlg : public QDialog {
    Q_OBJECT
public:
    // Shows the given size; centred over centreOver when given.
    TVsizeDlg(const QString& width, const QString& height, QWidget* parent = nullptr,
              const QWidget* centreOver = nullptr);

    QLineEdit* vwidth;
    QLineEdit* vheight;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};

}  // namespace qorvane
