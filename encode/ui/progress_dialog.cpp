#include "encode/ui/progress_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "controls/ui_font.h"

namespace qorvane {

TProDlg::TProDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint) {
    setFont(JapaneseUiFont());
    setWindowTitle(QStringLiteral("エンコード中・・・"));
    setFixedSize(313, 65);
    setModal(false);

    Label1 = new QLabel(this);
    Label1->move(52, 12);

    Label2 = new QLabel(this);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label2->setGeometry(41, 12, 4, Label2->sizeHint().height());

    OKBtn = new QPushButton(QStringLiteral("中断"), this);
    OKBtn->setGeometry(119, 32, 75, 25);
    OKBtn->setAutoDefault(false);

    Button1 = new QPushButton(QStringLiteral("dummy"), this);
    Button1->setGeometry(0, 0, 0, 1);
    Button1->setAutoDefault(false);
}

void TProDlg::setCountText(const QString& text) {
    Label2->setText(text);
    Label2->adjustSize();
    Label2->move(kCountRightEdge - Label2->width(), 12);
}

void TProDlg::setDisplayText(const QString& text) {
    Label1->setText(text);
    Label1->adjustSize();
}

void TProDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Button1->setFocus();
}

}  // namespace qorvane
