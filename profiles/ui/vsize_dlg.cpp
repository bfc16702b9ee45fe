#include "profiles/ui/vsize_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "controls/ui_font.h"
#include "controls/window_frame.h"
#include "base/window_placement.h"
#include "profiles/ui/number_field_filter.h"

namespace qorvane {

TVsizeDlg::TVsizeDlg(const QString& width, const QString& height, QWidget* parent, const QWidget* centreOver)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint) {
    setFont(JapaneseUiFont());
    setWindowTitle(tr("カスタムサイズ設定"));
    setFixedSize(169, 69);

    vwidth = new QLineEdit(width, this);
    vwidth->setGeometry(8, 8, 65, 21);
    auto* times = new QLabel(QStringLiteral("X"), this);
    times->setGeometry(73, 8, 23, 21);
    times->setAlignment(Qt::AlignCenter);
    vheight = new QLineEdit(height, this);
    vheight->setGeometry(96, 8, 65, 21);
    // vheightKeyPress: digits and backspace, in both fields.
    InstallNumberFilter(vwidth, EditorKeyFilter::Digits);
    InstallNumberFilter(vheight, EditorKeyFilter::Digits);

    OKBtn = new QPushButton(tr("OK"), this);
    OKBtn->setGeometry(8, 37, 73, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(tr("キャンセル"), this);
    CancelBtn->setGeometry(88, 37, 73, 25);

    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, vwidth);
    setTabOrder(vwidth, vheight);
    OKBtn->setFocus();

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    if (centreOver != nullptr) {
        PlaceFrame(*this, [owner = FrameBounds(*centreOver)](int frameWidth, int frameHeight) {
            return CentredOver(owner, frameWidth, frameHeight);
        });
    }
}

}  // namespace qorvane
