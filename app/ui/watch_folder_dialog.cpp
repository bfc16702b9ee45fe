#include "app/ui/watch_folder_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui/pickers.h"
#include "controls/ui_font.h"
#include "controls/updn_button.h"

namespace qorvane {

namespace {

QLineEdit* NewField(QWidget* parent, const QString& caption, int top) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(96, top, 250, 21);
    auto* label = new QLabel(caption, parent);
    label->setGeometry(8, top + 3, 84, 15);
    label->setBuddy(edit);
    return edit;
}

TUpDnButton* DropButtonOf(QLineEdit* edit) {
    auto* button = new TUpDnButton(edit->parentWidget());
    button->setAssociate(edit);
    button->resize(button->width(), edit->height());
    return button;
}

}  // namespace

TWatchDlg::TWatchDlg(const WatchedFolder& folder, const QStringList& profiles, Pickers& pickers, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                          Qt::WindowCloseButtonHint),
      pickers_(pickers) {
    setFont(JapaneseUiFont());
    setWindowTitle(tr("監視するフォルダ"));
    setFixedSize(380, 150);
    edFolder = NewField(this, tr("フォルダ"), 10);
    UpDnFolder = DropButtonOf(edFolder);
    cbProfile = new QComboBox(this);
    cbProfile->setGeometry(96, 38, 250, 21);
    auto* profileLabel = new QLabel(tr("プロファイル"), this);
    profileLabel->setGeometry(8, 41, 84, 15);
    profileLabel->setBuddy(cbProfile);
    edOut = NewField(this, tr("作成先"), 66);
    UpDnOut = DropButtonOf(edOut);
    edOut->setPlaceholderText(tr("(元のファイルと同じ場所)"));
    cbKeepTree = new QCheckBox(tr("フォルダ構成を保つ"), this);
    cbKeepTree->setGeometry(96, 94, 250, 17);
    OKBtn = new QPushButton(tr("OK"), this);
    OKBtn->setGeometry(210, 118, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(tr("キャンセル"), this);
    CancelBtn->setGeometry(296, 118, 75, 25);

    cbProfile->addItems(profiles);
    const QString profile = QString::fromStdString(folder.profile);
    if (!profile.isEmpty() && cbProfile->findText(profile) < 0) cbProfile->addItem(profile);
    if (!profile.isEmpty()) cbProfile->setCurrentText(profile);
    edFolder->setText(QString::fromStdString(folder.folder));
    edOut->setText(QString::fromStdString(folder.outDir));
    cbKeepTree->setChecked(folder.keepTree);

    const auto named = [this] { OKBtn->setEnabled(!edFolder->text().trimmed().isEmpty()); };
    named();
    connect(edFolder, &QLineEdit::textChanged, this, named);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(UpDnFolder, &TUpDnButton::clicked, this, [this] { chooseFolder(edFolder); });
    connect(UpDnOut, &TUpDnButton::clicked, this, [this] { chooseFolder(edOut); });
}

WatchedFolder TWatchDlg::folder() const {
    WatchedFolder folder;
    folder.folder = edFolder->text().trimmed().toStdString();
    folder.profile = cbProfile->currentText().toStdString();
    folder.outDir = edOut->text().trimmed().toStdString();
    folder.keepTree = cbKeepTree->isChecked();
    return folder;
}

void TWatchDlg::chooseFolder(QLineEdit* edit) {
    if (const auto chosen = pickers_.chooseFolder(this, edit->text())) edit->setText(*chosen);
}

}  // namespace qorvane
