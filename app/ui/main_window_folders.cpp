// Folders as input: the toolbar's "フォルダ追加", and adding whatever holds a
// folder off the window's thread, with a line under the list that counts
// the rows as they come and offers to stop.
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "app/refused_files.h"
#include "app/ui/folder_adder.h"
#include "app/ui/main_window.h"
#include "app/ui/pickers.h"
#include "platform/directory_walk.h"

namespace qorvane {

QWidget* TQorvbyOstrel::buildAddBar() {
    addBar = new QWidget(this);
    auto* row = new QHBoxLayout(addBar);
    row->setContentsMargins(6, 2, 6, 2);
    addLabel = new QLabel(addBar);
    addCancel = new QPushButton(tr("中止"), addBar);
    addCancel->setAccessibleName(tr("フォルダの追加を中止"));
    row->addWidget(addLabel, 1);
    row->addWidget(addCancel);
    addBar->hide();
    connect(addCancel, &QPushButton::clicked, this, [this] { adder_->cancel(); });

    FolderAdder::Handlers handlers;
    handlers.rows = [this](std::vector<EncodeJob> rows) {
        addedRows_ += rows.size();
        jobs_.append(std::move(rows));
        addLabel->setText(tr("フォルダを追加しています… %1 件").arg(addedRows_));
        updateProgressCount();
    };
    handlers.done = [this](const InputRowsSummary& summary) { addingDone(summary); };
    adder_ = new FolderAdder(*services_.walk, services_.readTags, std::move(handlers), this);
    return addBar;
}

bool TQorvbyOstrel::adding() const { return adder_->busy(); }

void TQorvbyOstrel::startAdding(const std::vector<std::string>& paths) {
    InputRowsRequest request;
    request.paths = paths;
    request.profile = proList->currentText().toStdString();
    request.outDir = state_.settings.dir;
    request.keepTree = state_.settings.keeptree;
    if (!adding()) {
        addedRows_ = 0;
        addLabel->setText(tr("フォルダを追加しています… %1 件").arg(0));
        addBar->show();
    }
    adder_->add(std::move(request));
}

void TQorvbyOstrel::addingDone(const InputRowsSummary& summary) {
    // The next request, when there is one, goes on counting.
    if (!adding()) addBar->hide();
    if (!summary.openError.empty()) services_.messages->warning(kMessageCaption, summary.openError);
    const std::string refused = FormatRefusedInputs(summary.refused, summary.unreadableFolders);
    if (!refused.empty()) services_.messages->warning(kMessageCaption, refused);
}

void TQorvbyOstrel::tbAddClick() {
    const auto folder = services_.pickers->chooseFolder(this, lastFolder_);
    if (!folder) return;
    lastFolder_ = *folder;
    AddFiles({folder->toStdString()});
}

}  // namespace qorvane
