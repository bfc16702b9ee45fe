#include "app/ui/watch_folders_panel.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "app/ui/watch_folder_dialog.h"

namespace qorvane {

WatchFoldersPanel::WatchFoldersPanel(Pickers& pickers, QWidget* parent) : QWidget(parent), pickers_(pickers) {
    resize(323, kHeight);
    cbWatch = new QCheckBox(tr("フォルダを監視する"), this);
    cbWatch->setGeometry(8, 0, 307, 17);
    cbWatch->setToolTip(tr("一覧のフォルダに届いたファイルを、クリックなしで変換します"));
    lvWatch = new QTreeWidget(this);
    lvWatch->setGeometry(8, 22, 307, 90);
    lvWatch->setRootIsDecorated(false);
    lvWatch->setHeaderLabels({tr("フォルダ"), tr("プロファイル"), tr("作成先"), tr("構成")});
    lvWatch->header()->resizeSection(0, 110);
    lvWatch->header()->resizeSection(1, 70);
    lvWatch->header()->resizeSection(2, 90);
    btAdd = new QPushButton(tr("追加..."), this);
    btAdd->setGeometry(8, 118, 75, 25);
    btChange = new QPushButton(tr("変更..."), this);
    btChange->setGeometry(88, 118, 75, 25);
    btRemove = new QPushButton(tr("削除"), this);
    btRemove->setGeometry(168, 118, 75, 25);

    connect(btAdd, &QPushButton::clicked, this, &WatchFoldersPanel::addClick);
    connect(btChange, &QPushButton::clicked, this, &WatchFoldersPanel::changeClick);
    connect(btRemove, &QPushButton::clicked, this, &WatchFoldersPanel::removeClick);
    connect(lvWatch, &QTreeWidget::itemSelectionChanged, this, &WatchFoldersPanel::updateButtons);
    connect(lvWatch, &QTreeWidget::itemDoubleClicked, this, &WatchFoldersPanel::changeClick);
    updateButtons();
}

void WatchFoldersPanel::setSettings(const WatchSettings& watch) {
    cbWatch->setChecked(watch.on);
    folders_ = watch.folders;
    showFolders();
}

WatchSettings WatchFoldersPanel::settings() const {
    WatchSettings watch;
    watch.on = cbWatch->isChecked();
    watch.folders = folders_;
    return watch;
}

void WatchFoldersPanel::showFolders() {
    lvWatch->clear();
    for (const WatchedFolder& folder : folders_) {
        auto* item = new QTreeWidgetItem(lvWatch);
        item->setText(0, QString::fromStdString(folder.folder));
        item->setText(1, QString::fromStdString(folder.profile));
        item->setText(2, folder.outDir.empty() ? tr("(元の場所)") : QString::fromStdString(folder.outDir));
        item->setText(3, folder.keepTree ? tr("保つ") : QString());
        item->setToolTip(0, item->text(0));
        item->setToolTip(2, item->text(2));
    }
    updateButtons();
}

void WatchFoldersPanel::updateButtons() {
    const bool one = lvWatch->currentItem() != nullptr && lvWatch->currentItem()->isSelected();
    btChange->setEnabled(one);
    btRemove->setEnabled(one);
}

void WatchFoldersPanel::addClick() {
    WatchedFolder folder;
    if (!profiles_.isEmpty()) folder.profile = profiles_.front().toStdString();
    TWatchDlg dialog(folder, profiles_, pickers_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    folders_.push_back(dialog.folder());
    showFolders();
    lvWatch->setCurrentItem(lvWatch->topLevelItem(lvWatch->topLevelItemCount() - 1));
}

void WatchFoldersPanel::changeClick() {
    const int row = lvWatch->indexOfTopLevelItem(lvWatch->currentItem());
    if (row < 0) return;
    TWatchDlg dialog(folders_[static_cast<std::size_t>(row)], profiles_, pickers_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    folders_[static_cast<std::size_t>(row)] = dialog.folder();
    showFolders();
    lvWatch->setCurrentItem(lvWatch->topLevelItem(row));
}

void WatchFoldersPanel::removeClick() {
    const int row = lvWatch->indexOfTopLevelItem(lvWatch->currentItem());
    if (row < 0) return;
    folders_.erase(folders_.begin() + row);
    showFolders();
}

}  // namespace qorvane
